#pragma once
// Files for the player's tests: real step-signal moves made by the synthesis library,
// and hand-made WAV files of any shape for the loading tests.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "synthesis/move.h"

namespace kerf::test {

// Plans and writes a move of distance_mm at the default motion settings.
MoveResult write_move_file(const QString& path, double distance_mm);

struct WavShape {
    std::uint16_t format = 1;  // 1: PCM
    std::uint16_t channels = 2;
    std::uint32_t sample_rate = 44100;
    std::uint16_t bits = 16;
};

// A WAV file of the given shape holding the given bytes as its data chunk.
QByteArray make_wav(const WavShape& shape, const QByteArray& data);
// Interleaved 16-bit little-endian frames of left and -left.
QByteArray antiphase_frames(const std::vector<std::int16_t>& left);

bool write_file(const QString& path, const QByteArray& bytes);

}  // namespace kerf::test
