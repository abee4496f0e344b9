#pragma once
// Reading 16-bit PCM WAV files (mono or stereo) and counting their step pulses.

#include <cstdint>
#include <string>
#include <vector>

namespace kerf {

struct WavData {
    int channels = 0;                 // 1 or 2
    int sample_rate = 0;              // frames per second
    std::vector<std::int16_t> samples;  // interleaved, channels per frame
    std::int64_t frames() const { return channels ? std::int64_t(samples.size()) / channels : 0; }
};

// Reads a 16-bit PCM WAV file. Throws std::runtime_error with a clear message for a
// file that cannot be read, is not RIFF/WAVE, is not 16-bit PCM with 1 or 2 channels,
// or is truncated or malformed. Unknown chunks before "data" are skipped.
WavData read_wav(const std::string& path);

// Pulses of the first channel, by the program's rule: counted at the first falling
// sample after a rise, starting from a previous sample of 0.
std::int64_t count_pulses(const WavData& wav);

// Every frame's second channel is the negated first (false for mono).
bool is_antiphase(const WavData& wav);

}  // namespace kerf
