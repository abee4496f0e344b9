// What reaches the sound card: the test sound server's sink kerf_null is recorded through
// its monitor while the window runs a whole job, and while a move is stopped.

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "image_button.h"
#include "moves_fixture.h"
#include "sound_server.h"
#include "synthesis/wav_reader.h"
#include "tab_control.h"

namespace {

using kerf::WavData;
using kerf::test::MonitorRecorder;
using kerf::test::Stretch;

// Silence between two moves (each is padded with silence, and the operator clicks).
constexpr std::int64_t kGapFrames = 4410;
// One buffer of the sound server and a little more: how far sound may run on after a stop.
constexpr std::int64_t kServerLatencyFrames = 11025;

WavData frames_of(const WavData& wav, std::int64_t begin, std::int64_t end) {
    WavData part;
    part.channels = wav.channels;
    part.sample_rate = wav.sample_rate;
    part.samples.assign(wav.samples.begin() + begin * wav.channels,
                        wav.samples.begin() + end * wav.channels);
    return part;
}

// Frames from the file's first sound to its last.
Stretch sounding_part(const WavData& file) {
    const auto stretches = kerf::test::sound_stretches(file, file.frames() + 1);
    return stretches.empty() ? Stretch{} : stretches.front();
}

class SoundTest : public MovesTest {
  protected:
    std::unique_ptr<MonitorRecorder> record() {
        auto recorder =
            std::make_unique<MonitorRecorder>(scratch_.filePath(QStringLiteral("monitor.wav")), 20);
        EXPECT_TRUE(recorder->started()) << recorder->why().toStdString();
        return recorder;
    }
    QTemporaryDir scratch_;
};

TEST_F(SoundTest, AWholeJobSendsExactlyThePulsesOfEveryMoveInOrder) {
    Tjoint_form& w =
        open_moves("saw_width=3.2\ncut_width=10\npin_width=10\nno_cuts=2\nstart_x=5\n");
    auto recorder = record();
    if (HasFailure()) return;
    for (int i = 0; i < 8; ++i) {
        click(w.startstopbutton);
        ASSERT_TRUE(wait_for_cut()) << "move " << i + 1 << ": " << w.cutlabel->text().toStdString();
    }
    click(w.startstopbutton);  // the end of the job
    ASSERT_EQ(w.startstopbutton->imageIndex(), 0);
    const WavData rec = recorder->finish();
    ASSERT_GT(rec.frames(), 0) << recorder->why().toStdString();

    const char* const order[] = {"Start.wav", "Fillcut.wav", "Fillcut.wav", "Fillcut.wav",
                                 "Pin.wav",   "Fillcut.wav", "Fillcut.wav", "Fillcut.wav"};
    const auto stretches = kerf::test::sound_stretches(rec, kGapFrames);
    ASSERT_EQ(stretches.size(), 8u) << "one stretch of sound per move, nothing else";
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        SCOPED_TRACE(std::string("move ") + std::to_string(i + 1) + ": " + order[i]);
        const WavData file = kerf::read_wav(cache(order[i]).toStdString());
        const Stretch in_file = sounding_part(file);
        const WavData heard = frames_of(rec, stretches[i].begin, stretches[i].end);
        EXPECT_EQ(kerf::count_pulses(heard), kerf::count_pulses(file));
        EXPECT_EQ(heard.frames(), in_file.end - in_file.begin) << "samples lost or added";
        EXPECT_TRUE(kerf::is_antiphase(heard));
    }
    EXPECT_EQ(kerf::count_pulses(kerf::read_wav(cache("Start.wav").toStdString())), steps_for(5));
    EXPECT_EQ(kerf::count_pulses(kerf::read_wav(cache("Fillcut.wav").toStdString())),
              steps_for(6.8 / 3));
    EXPECT_EQ(kerf::count_pulses(kerf::read_wav(cache("Pin.wav").toStdString())), steps_for(13.2));
}

TEST_F(SoundTest, NothingSoundsAfterStop) {
    // About two seconds of signal.
    Tjoint_form& w = open_moves("distance=100\nmaxfreq=2000\n");
    w.TabControl1->setCurrentWidget(w.TabItem3);
    auto recorder = record();
    if (HasFailure()) return;
    click(w.homebutton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return w.memplay.duration() > 0 && w.memplay.currentTime() > w.memplay.duration() / 3;
        },
        30000));
    const qint64 before = w.memplay.currentTime();
    click(w.Homequit);
    EXPECT_EQ(w.memplay.state(), kerf::MediaPlayer::State::Stopped);
    const qint64 at = w.memplay.currentTime();
    QTest::qWait(500);  // a tick of the timers and more: nothing starts again
    const WavData rec = recorder->finish();
    ASSERT_GT(rec.frames(), 0) << recorder->why().toStdString();

    const WavData file = kerf::read_wav(cache("Home.wav").toStdString());
    const auto stretches = kerf::test::sound_stretches(rec, kGapFrames);
    ASSERT_EQ(stretches.size(), 1u) << "sound after the stop";
    const std::int64_t heard = stretches[0].end - stretches[0].begin;
    EXPECT_LE(heard, at + kServerLatencyFrames) << "sound ran on after Stop";
    EXPECT_GE(heard, before - kServerLatencyFrames);
    const WavData part = frames_of(rec, stretches[0].begin, stretches[0].end);
    EXPECT_LT(kerf::count_pulses(part), kerf::count_pulses(file));
    EXPECT_TRUE(kerf::is_antiphase(part));
}

}  // namespace
