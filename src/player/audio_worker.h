#pragma once
// The part of the media player that lives on its own audio thread: it owns the sound
// output and its source, feeds it, and decides when the last frame has been played.
// Feeding from a thread of its own keeps a busy window from starving the output.

#include <QAudioDevice>
#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

class QAudioSink;
class QTimer;

namespace kerf::player {

class PcmSource;

// Silence around the signal and the end rule, in frames at 44100 per second.
struct Padding {
    // A new stream loses up to its target buffer length of its first frames; the
    // silence before the signal is at least that buffer plus lead_margin, never
    // less than min_lead.
    qint64 min_lead = 8820;     // 200 ms
    qint64 lead_margin = 4410;  // 100 ms
    // The end counts as played once the output reports end_margin frames beyond the
    // signal's last frame as processed, and that much time has passed since the start.
    qint64 end_margin = 6615;  // 150 ms
    // Silence after the signal; more than end_margin, so the output reaches it.
    qint64 trail = 11025;  // 250 ms
};

struct Outcome {
    bool ended = false;   // playback is over (played to the end, failed or stopped)
    bool failed = false;  // ended before the end of the signal without a stop
    QString error;
    qint64 played = 0;  // frames of the signal played
};

class AudioWorker : public QObject {
    Q_OBJECT
  public:
    explicit AudioWorker(Padding padding = {});
    ~AudioWorker() override;

    // Audio thread only. Starts playing; returns an error text when the output
    // cannot be started.
    QString start(const QAudioDevice& device, const QByteArray& signal, double volume,
                  quint64 generation);
    // Audio thread only. Silences the output at once and returns how playback ended
    // (a playback that had already ended keeps its outcome).
    Outcome stop();
    void set_volume(double volume);
    // The worker's thread (or any once it has ended). Milliseconds since the last
    // output was closed, or -1 if none was.
    qint64 ms_since_close() const;

    // Any thread: frames of the signal played so far (an estimate, never ahead of
    // what the output reports as processed).
    qint64 played() const { return played_.load(); }
    // Any thread: silence before the signal of the current playback, in frames.
    qint64 lead_frames() const { return lead_.load(); }

  Q_SIGNALS:
    // Playback ended by itself: played to the end, or failed.
    void ended(quint64 generation, kerf::player::Outcome outcome);

  private:
    void latch_failure(const QString& error);
    // Ends playback as failed when the output has failed; true if it has.
    bool finish_if_failed();
    void on_state_changed();
    void poll();
    void finish(bool failed, const QString& error);
    void release_output();

    const Padding padding_;
    QTimer* poll_timer_;
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<PcmSource> source_;
    quint64 generation_ = 0;
    Outcome outcome_;
    QElapsedTimer since_start_;
    QElapsedTimer since_progress_;
    QElapsedTimer since_close_;
    qint64 last_processed_us_ = 0;
    std::atomic<qint64> played_{0};
    QMutex latch_mutex_;
    std::optional<QString> latched_failure_;  // the first failure the output reported
    std::atomic<qint64> lead_{0};
};

}  // namespace kerf::player

Q_DECLARE_METATYPE(kerf::player::Outcome)
