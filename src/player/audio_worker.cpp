#include "audio_worker.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "pcm_source.h"
#include "playback_judge.h"
#include "step_signal_file.h"

namespace kerf::player {
namespace {

// The buffer asked of the sound server; it grants what it can (145 ms on PulseAudio 16).
constexpr qsizetype kRequestedBufferBytes = kSampleRate * kBytesPerFrame / 4;  // 250 ms
constexpr int kPollMs = 10;
// The output took no samples for this long: the sound server or device hangs.
constexpr qint64 kStallMs = 5000;

qint64 frames_to_us(qint64 frames) { return frames * 1000000 / kSampleRate; }
qint64 us_to_frames(qint64 us) { return us * kSampleRate / 1000000; }

}  // namespace

AudioWorker::AudioWorker(Padding padding) : padding_(padding), poll_timer_(new QTimer(this)) {
    poll_timer_->setInterval(kPollMs);
    poll_timer_->setTimerType(Qt::PreciseTimer);
    connect(poll_timer_, &QTimer::timeout, this, &AudioWorker::poll);
}

AudioWorker::~AudioWorker() {
    release_output();
    // The sound server answers a stream's close within milliseconds. Qt 6.4 tears its
    // connection to the server down at exit without waiting for such answers, and an
    // answer arriving meanwhile crashes the process (one exit in 25 right after a close,
    // measured). The player usually goes just before the program exits: it leaves the
    // answers time to arrive.
    constexpr qint64 kCloseSettleMs = 150;
    const qint64 since_close = ms_since_close();
    if (since_close >= 0 && since_close < kCloseSettleMs) {
        QThread::msleep(static_cast<unsigned long>(kCloseSettleMs - since_close));
    }
}

QString AudioWorker::start(const QAudioDevice& device, const QByteArray& signal, double volume,
                           quint64 generation) {
    release_output();
    generation_ = generation;
    outcome_ = {};
    played_ = 0;
    {
        QMutexLocker lock(&latch_mutex_);
        latched_failure_.reset();
    }

    source_ = std::make_unique<PcmSource>(signal, padding_.min_lead, padding_.trail);
    source_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);

    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(kChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->setBufferSize(kRequestedBufferBytes);
    sink_->setVolume(volume);
    // A change is judged where the output reports it (maybe the sound server's thread),
    // before a later write can clear its error; it is acted on here, from the event loop,
    // so the output is never released from inside its own call or signal.
    connect(
        sink_.get(), &QAudioSink::stateChanged, this,
        [this, sink = sink_.get(), source = source_.get()](QAudio::State state) {
            const Judgement j = judge_output(state, sink->error(), source->delivered_all());
            if (j.failed) latch_failure(j.error);
            QMetaObject::invokeMethod(this, &AudioWorker::on_state_changed, Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    sink_->start(source_.get());
    const Judgement started =
        judge_output(sink_->state(), sink_->error(), source_->delivered_all());
    if (started.failed) {
        release_output();
        return started.error;
    }
    // The silence before the signal covers what a fresh stream loses: up to its buffer.
    source_->set_lead_frames(
        std::max(padding_.min_lead, sink_->bufferSize() / kBytesPerFrame + padding_.lead_margin));
    lead_ = source_->lead_frames();
    last_processed_us_ = 0;
    since_start_.start();
    since_progress_.start();
    poll_timer_->start();
    return {};
}

Outcome AudioWorker::stop() {
    if (!outcome_.ended) {
        poll();
        if (!outcome_.ended) outcome_ = {true, false, {}, played_.load()};
    }
    release_output();
    return outcome_;
}

void AudioWorker::set_volume(double volume) {
    if (sink_) sink_->setVolume(volume);
}

void AudioWorker::latch_failure(const QString& error) {
    QMutexLocker lock(&latch_mutex_);
    if (!latched_failure_) latched_failure_ = error;
}

bool AudioWorker::finish_if_failed() {
    std::optional<QString> latched;
    {
        QMutexLocker lock(&latch_mutex_);
        latched = latched_failure_;
    }
    Judgement j = judge_output(sink_->state(), sink_->error(), source_->delivered_all());
    if (latched) j = {true, *latched};
    if (j.failed) finish(true, j.error);
    return j.failed;
}

void AudioWorker::on_state_changed() {
    if (sink_ && !outcome_.ended) finish_if_failed();
}

void AudioWorker::poll() {
    if (!sink_ || outcome_.ended || finish_if_failed()) return;
    const qint64 processed_us = sink_->processedUSecs();
    if (processed_us > last_processed_us_) {
        last_processed_us_ = processed_us;
        since_progress_.restart();
    }
    const qint64 lead = source_->lead_frames(), signal = source_->signal_frames();
    played_ = std::clamp<qint64>(us_to_frames(last_processed_us_) - lead, 0, signal);

    if (source_->delivered_all()) {
        // The last frame of the signal counts as played once the output reports a
        // margin beyond it as processed, and at least that much time has passed.
        const qint64 end_us = frames_to_us(lead + signal + padding_.end_margin);
        if (last_processed_us_ >= end_us && since_start_.nsecsElapsed() / 1000 >= end_us) {
            finish(false, {});
            return;
        }
    }
    if (since_progress_.elapsed() > kStallMs) {
        finish(true, QStringLiteral("The sound output stopped taking samples: nothing was played "
                                    "for %1 seconds.")
                         .arg(kStallMs / 1000));
    }
}

void AudioWorker::finish(bool failed, const QString& error) {
    const qint64 signal = source_ ? source_->signal_frames() : 0;
    if (!failed) played_ = signal;
    outcome_ = {true, failed, error, played_.load()};
    release_output();
    Q_EMIT ended(generation_, outcome_);
}

qint64 AudioWorker::ms_since_close() const {
    return since_close_.isValid() ? since_close_.elapsed() : -1;
}

void AudioWorker::release_output() {
    poll_timer_->stop();
    if (sink_) {
        sink_->disconnect(this);
        sink_->reset();
        sink_.reset();
        since_close_.start();
    }
    source_.reset();
}

}  // namespace kerf::player
