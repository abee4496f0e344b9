#include "media_player.h"

#include <QMediaDevices>
#include <QMetaObject>
#include <QThread>
#include <algorithm>

#include "audio_worker.h"
#include "step_signal_file.h"

namespace kerf {

struct MediaPlayer::Impl {
    QThread thread;
    player::AudioWorker* worker = nullptr;  // lives on thread
    QString file_name;
    bool has_media = false;
    QByteArray signal;
    State state = State::Stopped;
    quint64 generation = 0;
    qint64 end_time = 0;  // current time while stopped
    bool failed = false;
    QString error;
    double volume = 1.0;

    qint64 frames() const { return signal.size() / player::kBytesPerFrame; }

    // Runs f on the audio thread and waits for it.
    template <typename F>
    void on_audio_thread(F&& f) {
        QMetaObject::invokeMethod(worker, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }
};

MediaPlayer::MediaPlayer(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {
    qRegisterMetaType<player::Outcome>();
    d->thread.setObjectName(QStringLiteral("kerf audio"));
    d->worker = new player::AudioWorker();
    d->worker->moveToThread(&d->thread);
    connect(d->worker, &player::AudioWorker::ended, this,
            [this](quint64 generation, const player::Outcome& outcome) {
                if (generation != d->generation || d->state != State::Playing) return;
                d->state = State::Stopped;
                d->failed = outcome.failed;
                d->error = outcome.error;
                d->end_time = outcome.failed ? outcome.played : d->frames();
                Q_EMIT stateChanged(d->state);
            });
    d->thread.start(QThread::TimeCriticalPriority);
}

MediaPlayer::~MediaPlayer() {
    // The output and its timers belong to the audio thread: release them there.
    d->on_audio_thread([w = d->worker] { w->stop(); });
    d->thread.quit();
    d->thread.wait();
    delete d->worker;
}

void MediaPlayer::clear() {
    stop();
    d->file_name.clear();
    d->has_media = false;
    d->signal.clear();
    d->end_time = 0;
    d->failed = false;
    d->error.clear();
}

void MediaPlayer::setFileName(const QString& path) {
    clear();
    d->file_name = path;
    if (path.isEmpty()) return;
    QString error;
    if (auto signal = player::load_step_signal(path, error)) {
        d->signal = std::move(*signal);
        d->has_media = true;
    } else {
        d->error = error;
    }
}

QString MediaPlayer::fileName() const { return d->file_name; }
bool MediaPlayer::hasMedia() const { return d->has_media; }
qint64 MediaPlayer::duration() const { return d->frames(); }

qint64 MediaPlayer::currentTime() const {
    if (d->state == State::Stopped) return d->end_time;
    // The end is reported only once confirmed, together with the state.
    return std::clamp<qint64>(d->worker->played(), 0, std::max<qint64>(d->frames() - 1, 0));
}

MediaPlayer::State MediaPlayer::state() const { return d->state; }

void MediaPlayer::play() {
    if (d->state == State::Playing) return;
    d->failed = false;
    d->end_time = 0;
    if (!d->has_media) {
        d->error = QStringLiteral("Nothing to play: no file is loaded.");
        return;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        d->failed = true;
        d->error = QStringLiteral("No sound output was found: the move cannot be played.");
        return;
    }
    d->error.clear();
    QString error;
    const quint64 generation = ++d->generation;
    d->on_audio_thread([&] { error = d->worker->start(device, d->signal, d->volume, generation); });
    if (!error.isEmpty()) {
        d->failed = true;
        d->error = error;
        return;
    }
    d->state = State::Playing;
    Q_EMIT stateChanged(d->state);
}

void MediaPlayer::stop() {
    if (d->state != State::Playing) return;
    player::Outcome outcome;
    d->on_audio_thread([&] { outcome = d->worker->stop(); });
    d->state = State::Stopped;
    d->failed = outcome.failed;
    d->error = outcome.error;
    d->end_time = outcome.played;
    Q_EMIT stateChanged(d->state);
}

void MediaPlayer::setVolume(double volume) {
    d->volume = std::clamp(volume, 0.0, 1.0);
    if (d->state == State::Playing) {
        d->on_audio_thread([w = d->worker, v = d->volume] { w->set_volume(v); });
    }
}

bool MediaPlayer::failed() const { return d->failed; }
QString MediaPlayer::lastError() const { return d->error; }

}  // namespace kerf
