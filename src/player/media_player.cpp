#include "media_player.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "wav_pcm.h"

namespace kerf {
namespace {

// Hands the padded samples to the sound output, unchanged.
class PcmSource : public QIODevice {
public:
    explicit PcmSource(const QByteArray& bytes) : bytes_(bytes) {}
    bool isSequential() const override { return false; }
    qint64 size() const override { return bytes_.size(); }
    qint64 bytesAvailable() const override {
        return bytes_.size() - pos() + QIODevice::bytesAvailable();
    }
    bool delivered_all() const { return pos() >= bytes_.size(); }

protected:
    qint64 readData(char* data, qint64 max) override {
        const qint64 n = std::clamp<qint64>(bytes_.size() - pos(), 0, max);
        std::memcpy(data, bytes_.constData() + pos(), size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const QByteArray& bytes_;
};

}  // namespace

struct MediaPlayer::Impl {
    QString file_name;
    std::optional<player::PaddedPcm> pcm;
    QAudioSink* sink = nullptr;
    PcmSource* source = nullptr;
    State state = State::Stopped;
    qint64 end_time = 0;  // current time once stopped
    bool failed = false;
    QString error;
    double volume = 1.0;
};

MediaPlayer::MediaPlayer(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {}

MediaPlayer::~MediaPlayer() { stop(); }

void MediaPlayer::clear() {
    stop();
    d->pcm.reset();
    d->file_name.clear();
    d->end_time = 0;
    d->failed = false;
}

void MediaPlayer::setFileName(const QString& path) {
    clear();
    d->file_name = path;
    d->error.clear();
    d->pcm = player::load_padded_pcm(path, 0, 0, d->error);
}

QString MediaPlayer::fileName() const { return d->file_name; }
bool MediaPlayer::hasMedia() const { return d->pcm.has_value(); }
qint64 MediaPlayer::duration() const { return d->pcm ? d->pcm->signal_frames : 0; }

qint64 MediaPlayer::currentTime() const {
    if (!d->pcm) return 0;
    if (d->state == State::Stopped) return d->end_time;
    const qint64 frames = d->sink->processedUSecs() * player::kSampleRate / 1000000;
    return std::clamp<qint64>(frames - d->pcm->lead_frames, 0, d->pcm->signal_frames);
}

MediaPlayer::State MediaPlayer::state() const { return d->state; }

void MediaPlayer::play() {
    if (!d->pcm || d->state == State::Playing) return;
    QAudioFormat format;
    format.setSampleRate(player::kSampleRate);
    format.setChannelCount(player::kChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    d->failed = false;
    d->end_time = 0;
    d->source = new PcmSource(d->pcm->bytes);
    d->source->open(QIODevice::ReadOnly);
    d->sink = new QAudioSink(QMediaDevices::defaultAudioOutput(), format, this);
    d->sink->setVolume(d->volume);
    connect(d->sink, &QAudioSink::stateChanged, this, [this](QAudio::State s) {
        if (s == QAudio::IdleState && d->source && d->source->delivered_all()) {
            d->end_time = d->pcm->signal_frames;
            stop();
        }
    });
    d->sink->start(d->source);
    d->state = State::Playing;
    Q_EMIT stateChanged(d->state);
}

void MediaPlayer::stop() {
    if (d->state == State::Stopped) return;
    if (d->end_time == 0) d->end_time = currentTime();
    d->sink->disconnect(this);
    d->sink->reset();
    d->sink->deleteLater();
    d->sink = nullptr;
    delete d->source;
    d->source = nullptr;
    d->state = State::Stopped;
    Q_EMIT stateChanged(d->state);
}

void MediaPlayer::setVolume(double volume) {
    d->volume = volume;
    if (d->sink) d->sink->setVolume(volume);
}

bool MediaPlayer::failed() const { return d->failed; }
QString MediaPlayer::lastError() const { return d->error; }

}  // namespace kerf
