#pragma once
// Loading a step-signal WAV file for playback: only what the motor driver expects is
// accepted, 16-bit PCM, two channels, 44100 frames per second.

#include <QByteArray>
#include <QString>
#include <optional>

namespace kerf::player {

inline constexpr int kSampleRate = 44100;
inline constexpr int kChannels = 2;
inline constexpr int kBytesPerFrame = 4;

// The file's sample frames as the sound output takes them: interleaved 16-bit
// little-endian, left then right. On failure returns nothing and sets error to a
// message that names the file and what is wrong with it. The file is closed on return.
std::optional<QByteArray> load_step_signal(const QString& path, QString& error);

}  // namespace kerf::player
