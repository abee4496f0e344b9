// The output's source: silence, the signal byte for byte, silence, in whole frames,
// however the output slices its reads.

#include "pcm_source.h"

#include <gtest/gtest.h>

namespace kerf::player {
namespace {

QByteArray numbered_frames(int frames) {
    QByteArray b;
    for (int i = 0; i < frames * 4; ++i) b.append(char(1 + i % 250));
    return b;
}

class PcmSourceReads : public ::testing::TestWithParam<qint64> {};

TEST_P(PcmSourceReads, SilenceSignalSilenceInWholeFrames) {
    const QByteArray signal = numbered_frames(37);
    PcmSource source(signal, 5, 3);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    EXPECT_EQ(source.size(), (5 + 37 + 3) * 4);

    QByteArray out;
    while (!source.delivered_all()) {
        const QByteArray chunk = source.read(GetParam());
        ASSERT_FALSE(chunk.isEmpty()) << "no progress at " << out.size();
        ASSERT_EQ(chunk.size() % 4, 0) << "a frame was split";
        out += chunk;
    }
    EXPECT_TRUE(source.read(GetParam()).isEmpty());
    EXPECT_TRUE(source.atEnd());
    EXPECT_EQ(out, QByteArray(5 * 4, '\0') + signal + QByteArray(3 * 4, '\0'));
}

INSTANTIATE_TEST_SUITE_P(ReadSizes, PcmSourceReads, ::testing::Values(4, 7, 8, 20, 64, 4096));

TEST(PcmSource, LeadCanChangeOnlyBeforeTheFirstRead) {
    PcmSource source(numbered_frames(2), 1, 0);
    source.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    source.set_lead_frames(4);
    EXPECT_EQ(source.lead_frames(), 4);
    EXPECT_EQ(source.read(4), QByteArray(4, '\0'));
    source.set_lead_frames(100);
    EXPECT_EQ(source.lead_frames(), 4);
    EXPECT_EQ(source.total_frames(), 6);
}

TEST(PcmSource, AnEmptySignalIsJustSilence) {
    PcmSource source(QByteArray(), 2, 2);
    source.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    EXPECT_EQ(source.readAll(), QByteArray(16, '\0'));
    EXPECT_TRUE(source.delivered_all());
}

}  // namespace
}  // namespace kerf::player
