// --play FILE: the file through the program's media player, until it has been played.

#include "play_command.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "media_player.h"
#include "synthesis/wav_reader.h"

namespace kerf::tool {
namespace {

// Pulses of the first frames of a file, by the program's counting rule.
std::int64_t pulses_of(const WavData& wav, std::int64_t frames) {
    WavData part;
    part.channels = wav.channels;
    part.sample_rate = wav.sample_rate;
    frames = std::clamp<std::int64_t>(frames, 0, wav.frames());
    part.samples.assign(wav.samples.begin(), wav.samples.begin() + frames * wav.channels);
    return count_pulses(part);
}

int play_file(const Values& values, std::ostream& out, std::ostream& err) {
    const std::string file = values.at("--play");
    if (file.empty()) throw UsageError("--play: the file name is empty");

    WavData wav;
    try {
        wav = read_wav(file);
    } catch (const std::exception& e) {
        throw FileError(e.what());
    }

    // The player needs an event loop; the tool has no window.
    static int argc = 1;
    static char name[] = "kerfplanner-signal";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);

    MediaPlayer player;
    player.setFileName(QString::fromStdString(file));
    if (!player.hasMedia()) {
        throw FileError(file + ": cannot be played: " + player.lastError().toStdString());
    }

    const StopFlag interrupted = interrupt_flag();
    bool stopped = false;
    QEventLoop loop;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (interrupted->load()) {
            player.stop();  // silent at once
            stopped = true;
        }
        if (player.state() != MediaPlayer::State::Playing) loop.quit();
    });
    player.play();
    if (player.state() == MediaPlayer::State::Playing && !interrupted->load()) {
        watch.start();
        loop.exec();
    } else if (player.state() == MediaPlayer::State::Playing) {
        player.stop();
        stopped = true;
    }

    const qint64 played = player.currentTime();
    out << "played pulses=" << pulses_of(wav, played) << " frames=" << played << "\n" << std::flush;
    if (stopped) {
        err << kProgram << ": interrupted; playback stopped\n" << std::flush;
        return kExitInterrupted;
    }
    if (player.failed() || played != player.duration()) {
        const QString why = player.lastError();
        throw FileError(file + ": playback failed" +
                        (why.isEmpty() ? std::string() : ": " + why.toStdString()));
    }
    return kExitOk;
}

}  // namespace

Command play_command() {
    Command play;
    play.selector = {"--play", "FILE", "the WAV file to play (as the program writes them)"};
    play.title = "Playing a file (--play)";
    play.description =
        "  Plays a step-signal file through the default sound output with the program's own\n"
        "  player, every sample unchanged, and ends when it has been played. Prints one line:\n"
        "    played pulses=<steps played> frames=<stereo frames played>\n"
        "  Ctrl-C silences the output at once (exit status 130; the line then counts the\n"
        "  part that was played). A file that cannot be read or played, or playback that\n"
        "  ends early (the sound output lost, say), gives exit status 2.\n";
    play.examples = {std::string(kProgram) + " --play move.wav"};
    play.run = play_file;
    return play;
}

}  // namespace kerf::tool
