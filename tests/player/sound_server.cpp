#include "sound_server.h"

#include <signal.h>

#include <QFileInfo>
#include <QTest>

namespace kerf::test {

QString sound_server_problem() {
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        return QStringLiteral(
            "PULSE_SERVER is not set; scripts/test starts the test sound server "
            "(scripts/test-sound-server prints the value)");
    }
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    if (!pactl.waitForFinished(5000) || pactl.exitStatus() != QProcess::NormalExit ||
        pactl.exitCode() != 0) {
        return QStringLiteral("no sound server answers at PULSE_SERVER=%1")
            .arg(qEnvironmentVariable("PULSE_SERVER"));
    }
    const QString info = QString::fromUtf8(pactl.readAllStandardOutput());
    if (!info.contains(QStringLiteral("Default Sink: kerf_null"))) {
        return QStringLiteral("the sound server's default sink is not kerf_null");
    }
    return {};
}

MonitorRecorder::MonitorRecorder(const QString& path, int latency_ms)
    : path_(path), latency_ms_(latency_ms) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("parecord"),
                   {QStringLiteral("--device=kerf_null.monitor"), QStringLiteral("--rate=44100"),
                    QStringLiteral("--channels=2"), QStringLiteral("--format=s16le"),
                    QStringLiteral("--file-format=wav"),
                    QStringLiteral("--latency-msec=%1").arg(latency_ms), path});
}

MonitorRecorder::~MonitorRecorder() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool MonitorRecorder::started() {
    if (!process_.waitForStarted(5000)) {
        why_ = QStringLiteral("parecord did not start: %1").arg(process_.errorString());
        return false;
    }
    // The file holds its header at once; samples follow when the stream runs.
    if (!QTest::qWaitFor([&] { return QFileInfo(path_).size() > 44 + 4 * 441; }, 10000)) {
        why_ = QStringLiteral("parecord records nothing from kerf_null.monitor");
        return false;
    }
    return true;
}

WavData MonitorRecorder::finish() {
    // The sink renders on; what it rendered last reaches the recorder within its latency.
    QTest::qWait(latency_ms_ + 500);
    ::kill(pid_t(process_.processId()), SIGINT);
    if (!process_.waitForFinished(10000)) {
        why_ = QStringLiteral("parecord did not stop");
        return {};
    }
    return read_wav(path_.toStdString());
}

std::vector<Stretch> sound_stretches(const WavData& wav, std::int64_t min_gap) {
    std::vector<Stretch> out;
    const std::int64_t frames = wav.frames();
    std::int64_t last_sound = -1;
    for (std::int64_t f = 0; f < frames; ++f) {
        bool silent = true;
        for (int c = 0; c < wav.channels; ++c)
            silent = silent && wav.samples[f * wav.channels + c] == 0;
        if (silent) continue;
        if (out.empty() || f - last_sound > min_gap) out.push_back({f, f + 1});
        out.back().end = f + 1;
        last_sound = f;
    }
    return out;
}

std::vector<std::int16_t> left_channel(const WavData& wav, std::int64_t begin, std::int64_t end) {
    std::vector<std::int16_t> out;
    for (std::int64_t f = begin; f < end && f < wav.frames(); ++f) {
        out.push_back(wav.samples[f * wav.channels]);
    }
    return out;
}

}  // namespace kerf::test
