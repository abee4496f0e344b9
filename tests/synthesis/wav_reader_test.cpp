// Reading WAV files of any 16-bit PCM shape, and the clear refusal of everything else.

#include "wav_reader.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "scratch_dir.h"

namespace kerf {
namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
void put_id(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }

Bytes chunk(const char* id, const Bytes& body, bool pad = true) {
    Bytes b;
    put_id(b, id);
    put32(b, std::uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (pad && body.size() % 2) b.push_back(0);
    return b;
}

Bytes fmt_body(unsigned tag, unsigned channels, unsigned bits, std::uint32_t rate = 44100) {
    Bytes b;
    put16(b, tag);
    put16(b, channels);
    put32(b, rate);
    put32(b, rate * channels * bits / 8);
    put16(b, channels * bits / 8);
    put16(b, bits);
    return b;
}

// WAVE_FORMAT_EXTENSIBLE with the given sub-format.
Bytes extensible_body(unsigned channels, unsigned sub_format) {
    Bytes b = fmt_body(0xFFFE, channels, 16);
    put16(b, 22);  // extension size
    put16(b, 16);  // valid bits
    put32(b, 3);   // channel mask
    put16(b, sub_format);
    const unsigned char rest[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                    0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    b.insert(b.end(), rest, rest + 14);
    return b;
}

Bytes samples(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values) put16(b, unsigned(v) & 0xFFFF);
    return b;
}

Bytes riff(const std::vector<Bytes>& chunks, const char* form = "WAVE", const char* id = "RIFF") {
    Bytes body;
    put_id(body, form);
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    put_id(b, id);
    put32(b, std::uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// Two pulses over a mono signal, by the rule: rise, fall (1), flat, rise, fall (2).
const std::initializer_list<int> kMono = {0, 100, 50, 50, 200, -100, -100};

struct Readable {
    const char* what;
    Bytes file;
    int channels;
    std::int64_t frames;
    std::int64_t pulses;
    bool antiphase;
};

void PrintTo(const Readable& r, std::ostream* os) { *os << r.what; }

class WavReaderReads : public testing::TestWithParam<Readable> {};

TEST_P(WavReaderReads, AnySixteenBitPcmShape) {
    test::ScratchDir dir;
    const std::string path = dir.file("in.wav");
    test::write_bytes(path, GetParam().file);
    const WavData wav = read_wav(path);
    EXPECT_EQ(wav.channels, GetParam().channels);
    EXPECT_EQ(wav.sample_rate, 44100);
    EXPECT_EQ(wav.frames(), GetParam().frames);
    EXPECT_EQ(count_pulses(wav), GetParam().pulses);
    EXPECT_EQ(is_antiphase(wav), GetParam().antiphase);
}

INSTANTIATE_TEST_SUITE_P(
    Files, WavReaderReads,
    testing::Values(
        Readable{"mono", riff({chunk("fmt ", fmt_body(1, 1, 16)), chunk("data", samples(kMono))}),
                 1, 7, 2, false},
        Readable{"stereo in antiphase",
                 riff({chunk("fmt ", fmt_body(1, 2, 16)),
                       chunk("data", samples({0, 0, 9000, -9000, 100, -100, -32767, 32767}))}),
                 2, 4, 1, true},
        Readable{"stereo in phase",
                 riff({chunk("fmt ", fmt_body(1, 2, 16)),
                       chunk("data", samples({0, 0, 9000, 9000, 100, 100}))}),
                 2, 3, 1, false},
        Readable{
            "-32768 has no negation",
            riff({chunk("fmt ", fmt_body(1, 2, 16)), chunk("data", samples({-32768, -32768}))}), 2,
            1, 1, false},
        Readable{"odd unknown chunk with its pad byte before the data",
                 riff({chunk("fmt ", fmt_body(1, 1, 16)), chunk("LIST", Bytes{'a', 'b', 'c'}),
                       chunk("data", samples(kMono))}),
                 1, 7, 2, false},
        Readable{"data before fmt",
                 riff({chunk("data", samples(kMono)), chunk("fmt ", fmt_body(1, 1, 16))}), 1, 7, 2,
                 false},
        Readable{"extensible PCM",
                 riff({chunk("fmt ", extensible_body(1, 1)), chunk("data", samples(kMono))}), 1, 7,
                 2, false},
        Readable{"no samples", riff({chunk("fmt ", fmt_body(1, 2, 16)), chunk("data", Bytes{})}), 2,
                 0, 0, true}),
    [](const testing::TestParamInfo<Readable>& info) {
        return "case" + std::to_string(info.index);
    });

struct Unreadable {
    const char* what;
    Bytes file;
    const char* message;  // part of the message that says what is wrong
};

void PrintTo(const Unreadable& r, std::ostream* os) { *os << r.what; }

class WavReaderRefuses : public testing::TestWithParam<Unreadable> {};

TEST_P(WavReaderRefuses, WithAClearMessage) {
    test::ScratchDir dir;
    const std::string path = dir.file("in.wav");
    test::write_bytes(path, GetParam().file);
    try {
        read_wav(path);
        FAIL() << GetParam().what << ": no error";
    } catch (const std::runtime_error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
        EXPECT_NE(message.find(path), std::string::npos) << message;
    }
}

Bytes truncated(Bytes b, std::size_t keep) {
    b.resize(keep);
    return b;
}

const Bytes kGood =
    riff({chunk("fmt ", fmt_body(1, 2, 16)), chunk("data", samples({1, -1, 2, -2}))});

INSTANTIATE_TEST_SUITE_P(
    Files, WavReaderRefuses,
    testing::Values(
        Unreadable{"empty", Bytes{}, "too short"},
        Unreadable{"text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!'},
                   "no RIFF header"},
        Unreadable{"big-endian RIFX", riff({chunk("fmt ", fmt_body(1, 2, 16))}, "WAVE", "RIFX"),
                   "no RIFF header"},
        Unreadable{"not WAVE", riff({chunk("fmt ", fmt_body(1, 2, 16))}, "AVI "), "not WAVE"},
        Unreadable{"float samples",
                   riff({chunk("fmt ", fmt_body(3, 2, 32)), chunk("data", Bytes(8))}),
                   "not a PCM WAV file (format 3)"},
        Unreadable{"extensible float",
                   riff({chunk("fmt ", extensible_body(2, 3)), chunk("data", Bytes(8))}),
                   "not a PCM WAV file"},
        Unreadable{"8-bit", riff({chunk("fmt ", fmt_body(1, 1, 8)), chunk("data", Bytes(8))}),
                   "8-bit samples"},
        Unreadable{"24-bit", riff({chunk("fmt ", fmt_body(1, 2, 24)), chunk("data", Bytes(12))}),
                   "24-bit samples"},
        Unreadable{"three channels",
                   riff({chunk("fmt ", fmt_body(1, 3, 16)), chunk("data", Bytes(12))}),
                   "3 channels"},
        Unreadable{"short fmt", riff({chunk("fmt ", Bytes(10)), chunk("data", Bytes(4))}),
                   "at least 16"},
        Unreadable{"no fmt", riff({chunk("data", Bytes(4))}), "no \"fmt \" chunk"},
        Unreadable{"no data", riff({chunk("fmt ", fmt_body(1, 2, 16))}), "no \"data\" chunk"},
        Unreadable{"half a frame",
                   riff({chunk("fmt ", fmt_body(1, 2, 16)), chunk("data", Bytes(6))}),
                   "not a whole number of frames"},
        Unreadable{"data cut short", truncated(kGood, kGood.size() - 3),
                   "data chunk declares 8 bytes, the file holds only 5"},
        Unreadable{
            "chunk past the end",
            truncated(riff({chunk("fmt ", fmt_body(1, 2, 16)), chunk("LIST", Bytes(40))}), 60),
            "chunk \"LIST\" declares 40 bytes"}),
    [](const testing::TestParamInfo<Unreadable>& info) {
        return "case" + std::to_string(info.index);
    });

TEST(WavReader, MissingFileAndFolderAreRefused) {
    test::ScratchDir dir;
    EXPECT_THROW(read_wav(dir.file("none.wav")), std::runtime_error);
    try {
        read_wav(dir.path().string());
        FAIL() << "a folder was read";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("folder"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace kerf
