// Reading back a 16-bit PCM WAV file, to count its pulses and check its channels.

#include "wav_reader.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "pulse_counter.h"

namespace kerf {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const unsigned char* p) { return std::uint16_t(p[0] | p[1] << 8); }

[[noreturn]] void fail(const std::string& path, const std::string& why) {
    throw std::runtime_error(path + ": " + why);
}

std::string printable_id(const unsigned char* id) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += (id[i] >= 0x20 && id[i] < 0x7F) ? char(id[i]) : '?';
    return s;
}

struct Format {
    std::uint16_t tag = 0;
    int channels = 0;
    int sample_rate = 0;
    int block_align = 0;
    int bits = 0;
};

Format parse_format(const std::string& path, const std::vector<unsigned char>& fmt) {
    if (fmt.size() < 16) {
        fail(path, "malformed WAV file: its \"fmt \" chunk has " + std::to_string(fmt.size()) +
                       " bytes, at least 16 are needed");
    }
    Format f;
    f.tag = le16(&fmt[0]);
    f.channels = le16(&fmt[2]);
    f.sample_rate = int(le32(&fmt[4]) & 0x7FFFFFFF);
    f.block_align = le16(&fmt[12]);
    f.bits = le16(&fmt[14]);
    if (f.tag == kFormatExtensible) {
        // The sub-format GUID begins with the plain format tag.
        if (fmt.size() < 40) fail(path, "malformed WAV file: its extensible format is cut short");
        const std::uint16_t sub = le16(&fmt[24]);
        if (sub != kFormatPcm) {
            fail(path, "not a PCM WAV file (extensible sub-format " + std::to_string(sub) +
                           "); only 16-bit PCM can be read");
        }
    } else if (f.tag != kFormatPcm) {
        fail(path, "not a PCM WAV file (format " + std::to_string(f.tag) +
                       "); only 16-bit PCM can be read");
    }
    if (f.bits != 16) {
        fail(path, std::to_string(f.bits) + "-bit samples; only 16-bit PCM can be read");
    }
    if (f.channels != 1 && f.channels != 2) {
        fail(path, std::to_string(f.channels) + " channels; only mono or stereo can be read");
    }
    if (f.block_align != 2 * f.channels) {
        fail(path, "malformed WAV file: block align " + std::to_string(f.block_align) +
                       " does not match " + std::to_string(f.channels) + " channels of 16 bits");
    }
    return f;
}

}  // namespace

WavData read_wav(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) fail(path, "is a folder, not a WAV file");
    std::ifstream in(path, std::ios::binary);
    if (!in) fail(path, "cannot open: " + std::system_category().message(errno));
    in.seekg(0, std::ios::end);
    const std::streamoff file_size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (file_size < 0) fail(path, "cannot read its size");

    const auto read_exact = [&](void* to, std::streamoff n) {
        in.read(static_cast<char*>(to), n);
        if (in.gcount() != n) fail(path, "read error");
    };

    if (file_size < 12) fail(path, "not a WAV file: too short for a RIFF header");
    unsigned char riff[12];
    read_exact(riff, 12);
    if (std::memcmp(riff, "RIFF", 4) != 0) fail(path, "not a WAV file: no RIFF header");
    if (std::memcmp(riff + 8, "WAVE", 4) != 0) fail(path, "not a WAV file: RIFF form is not WAVE");

    std::optional<Format> format;
    std::streamoff data_at = -1;
    std::uint32_t data_size = 0;
    std::streamoff pos = 12;
    while (file_size - pos >= 8) {
        unsigned char head[8];
        read_exact(head, 8);
        const std::uint32_t size = le32(head + 4);
        const std::streamoff body = pos + 8;
        const std::streamoff available = file_size - body;
        if (std::memcmp(head, "data", 4) == 0) {
            if (std::streamoff(size) > available) {
                fail(path, "truncated WAV file: its data chunk declares " + std::to_string(size) +
                               " bytes, the file holds only " + std::to_string(available));
            }
            data_at = body;
            data_size = size;
        } else if (std::streamoff(size) > available) {
            fail(path, "truncated or malformed WAV file: chunk \"" + printable_id(head) +
                           "\" declares " + std::to_string(size) + " bytes, the file holds only " +
                           std::to_string(available));
        } else if (std::memcmp(head, "fmt ", 4) == 0) {
            if (format) fail(path, "malformed WAV file: two \"fmt \" chunks");
            std::vector<unsigned char> fmt(size);
            read_exact(fmt.data(), size);
            format = parse_format(path, fmt);
        }
        if (data_at >= 0 && format) break;
        // Chunks of odd size are followed by one pad byte.
        pos = body + std::streamoff(size) + (size & 1);
        in.seekg(pos, std::ios::beg);
    }
    if (!format) fail(path, "malformed WAV file: no \"fmt \" chunk");
    if (data_at < 0) fail(path, "malformed WAV file: no \"data\" chunk");
    if (data_size % std::uint32_t(format->block_align) != 0) {
        fail(path, "malformed WAV file: the data chunk (" + std::to_string(data_size) +
                       " bytes) is not a whole number of frames");
    }

    WavData wav;
    wav.channels = format->channels;
    wav.sample_rate = format->sample_rate;
    wav.samples.resize(data_size / 2);
    in.clear();
    in.seekg(data_at, std::ios::beg);
    std::vector<unsigned char> block(1 << 16);
    std::size_t done = 0;
    while (done < wav.samples.size()) {
        const std::size_t n = std::min(block.size() / 2, wav.samples.size() - done);
        read_exact(block.data(), std::streamoff(2 * n));
        for (std::size_t i = 0; i < n; ++i) {
            wav.samples[done + i] = std::int16_t(le16(&block[2 * i]));
        }
        done += n;
    }
    return wav;
}

std::int64_t count_pulses(const WavData& wav) {
    if (wav.channels <= 0) return 0;
    PulseCounter<std::int64_t> counter;
    for (std::size_t i = 0; i < wav.samples.size(); i += std::size_t(wav.channels)) {
        counter.add(wav.samples[i]);
    }
    return counter.count;
}

bool is_antiphase(const WavData& wav) {
    if (wav.channels != 2) return false;
    for (std::size_t i = 0; i + 1 < wav.samples.size(); i += 2) {
        if (int{wav.samples[i + 1]} != -int{wav.samples[i]}) return false;
    }
    return true;
}

}  // namespace kerf
