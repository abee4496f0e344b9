// Loading files into the player: what it accepts, what it refuses and why, and that it
// lets go of the file.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "media_player.h"
#include "step_signal_file.h"
#include "test_files.h"

namespace kerf::test {
namespace {

const std::vector<std::int16_t> kPulses = {0,      20000,  30000, 20000, 0,      -20000,
                                           -30000, -20000, 0,     15000, -15000, 0};

// Descriptors of this process that point at the path (Linux).
int open_descriptors_to(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    int n = 0;
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System)) {
        if (fd.symLinkTarget() == target) ++n;
    }
    return n;
}

class LoadTest : public ::testing::Test {
  protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
    MediaPlayer player;
};

TEST_F(LoadTest, AcceptsTheWritersFileWithEveryFrame) {
    const QString file = path("Pin.wav");
    const MoveResult move = write_move_file(file, 1.0);
    ASSERT_EQ(move.end, MoveResult::End::written) << move.error;

    player.setFileName(file);
    EXPECT_TRUE(player.hasMedia()) << player.lastError().toStdString();
    EXPECT_EQ(player.fileName(), file);
    EXPECT_EQ(player.duration(), move.frames);
    EXPECT_EQ(player.currentTime(), 0);
    EXPECT_EQ(player.state(), MediaPlayer::State::Stopped);
    EXPECT_FALSE(player.failed());
    EXPECT_TRUE(player.lastError().isEmpty());
}

TEST_F(LoadTest, KeepsEverySampleUnchanged) {
    const QString file = path("small.wav");
    const QByteArray frames = antiphase_frames(kPulses);
    ASSERT_TRUE(write_file(file, make_wav({}, frames)));
    QString error;
    const auto loaded = player::load_step_signal(file, error);
    ASSERT_TRUE(loaded) << error.toStdString();
    EXPECT_EQ(*loaded, frames);
}

struct BadFile {
    const char* name;
    QByteArray bytes;  // empty: no file is written
    const char* why;   // a word the message must hold
};

class RefusedFileTest : public LoadTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(RefusedFileTest, GivesNoMediaAndSaysWhy) {
    const BadFile& bad = GetParam();
    const QString file = path(bad.name);
    if (!bad.bytes.isEmpty()) {
        ASSERT_TRUE(write_file(file, bad.bytes));
    }

    // A good file first: a refused one must not leave the old media in place.
    const QString good = path("good.wav");
    ASSERT_TRUE(write_file(good, make_wav({}, antiphase_frames(kPulses))));
    player.setFileName(good);
    ASSERT_TRUE(player.hasMedia());

    QSignalSpy states(&player, &MediaPlayer::stateChanged);
    player.setFileName(file);
    EXPECT_FALSE(player.hasMedia());
    EXPECT_EQ(player.duration(), 0);
    EXPECT_EQ(player.currentTime(), 0);
    EXPECT_EQ(player.fileName(), file);
    const std::string message = player.lastError().toStdString();
    EXPECT_NE(message.find(bad.name), std::string::npos) << message;
    EXPECT_NE(message.find(bad.why), std::string::npos) << message;

    player.play();
    EXPECT_EQ(player.state(), MediaPlayer::State::Stopped);
    EXPECT_EQ(states.count(), 0);
    EXPECT_FALSE(player.lastError().isEmpty());
    EXPECT_EQ(open_descriptors_to(file), 0);
}

QByteArray truncated() {
    QByteArray b = make_wav({}, antiphase_frames(kPulses));
    b.chop(6);
    return b;
}
QByteArray odd_frame() {
    // A data chunk that ends in the middle of a frame.
    QByteArray data = antiphase_frames(kPulses);
    data.chop(2);
    return make_wav({}, data);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFileTest,
    ::testing::Values(
        BadFile{"missing.wav", {}, "cannot open"},
        BadFile{"truncated.wav", truncated(), "truncated"},
        BadFile{"odd.wav", odd_frame(), "whole number of frames"},
        BadFile{"mono.wav", make_wav({1, 1, 44100, 16}, QByteArray(400, '\1')), "1 channel"},
        BadFile{"48k.wav", make_wav({1, 2, 48000, 16}, antiphase_frames(kPulses)), "48000"},
        BadFile{"8bit.wav", make_wav({1, 2, 44100, 8}, QByteArray(400, '\x80')), "16-bit"},
        BadFile{"float.wav", make_wav({3, 2, 44100, 32}, QByteArray(800, '\0')), "PCM"},
        BadFile{"text.wav", QByteArray("Kerfplanner settings, not sound\n"), "not a WAV"},
        BadFile{"empty.wav", QByteArray(1, '\0'), "not a WAV"}),
    [](const auto& info) {
        std::string n = info.param.name;
        return n.substr(0, n.find('.')) + "_" + std::to_string(info.index);
    });

TEST_F(LoadTest, AFolderIsRefused) {
    player.setFileName(dir.path());
    EXPECT_FALSE(player.hasMedia());
    EXPECT_FALSE(player.lastError().isEmpty());
}

TEST_F(LoadTest, ReleasesTheFileAtOnceSoItCanBeReplaced) {
    const QString file = path("Home.wav");
    ASSERT_TRUE(write_file(file, make_wav({}, antiphase_frames(kPulses))));
    player.setFileName(file);
    ASSERT_TRUE(player.hasMedia());
    EXPECT_EQ(open_descriptors_to(file), 0);

    // The writer replaces it while the player holds its media...
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(write_file(file, make_wav({}, antiphase_frames({0, 1000, 0}))));
    EXPECT_EQ(player.duration(), qint64(kPulses.size()));

    player.clear();
    EXPECT_FALSE(player.hasMedia());
    EXPECT_TRUE(player.fileName().isEmpty());
    EXPECT_EQ(player.duration(), 0);
    EXPECT_EQ(player.currentTime(), 0);
    EXPECT_TRUE(player.lastError().isEmpty());

    // ...and the next load reads the new one.
    player.setFileName(file);
    EXPECT_EQ(player.duration(), 3);
}

TEST_F(LoadTest, NothingLoadedMeansNothingToPlay) {
    QSignalSpy states(&player, &MediaPlayer::stateChanged);
    EXPECT_FALSE(player.hasMedia());
    EXPECT_EQ(player.duration(), 0);
    player.play();
    player.stop();
    EXPECT_EQ(player.state(), MediaPlayer::State::Stopped);
    EXPECT_EQ(states.count(), 0);
    EXPECT_FALSE(player.failed());
    EXPECT_FALSE(player.lastError().isEmpty());
}

}  // namespace
}  // namespace kerf::test
