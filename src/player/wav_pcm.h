#pragma once
// Loading a step-signal WAV file into memory as the player needs it: 16-bit stereo
// at 44100 frames per second, with silence before and after the signal.

#include <QByteArray>
#include <QString>
#include <optional>

namespace kerf::player {

inline constexpr int kSampleRate = 44100;
inline constexpr int kChannels = 2;
inline constexpr int kBytesPerFrame = 4;

struct PaddedPcm {
    QByteArray bytes;          // interleaved 16-bit little-endian frames, padding included
    qint64 lead_frames = 0;    // silent frames before the signal
    qint64 signal_frames = 0;  // frames of the file's own signal
    qint64 trail_frames = 0;   // silent frames after the signal
};

// Reads the file and pads it; on failure returns nothing and sets error to a message
// that names the file and what is wrong with it.
std::optional<PaddedPcm> load_padded_pcm(const QString& path, qint64 lead_frames,
                                         qint64 trail_frames, QString& error);

}  // namespace kerf::player
