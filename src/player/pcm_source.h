#pragma once
// The sound output's source: silence, then the file's frames unchanged, then silence.
// The silence is not stored; it is produced as the output pulls.

#include <QByteArray>
#include <QIODevice>
#include <atomic>

namespace kerf::player {

class PcmSource : public QIODevice {
  public:
    PcmSource(QByteArray signal, qint64 lead_frames, qint64 trail_frames);

    // Changes the silence before the signal; only before the first read.
    void set_lead_frames(qint64 frames);
    qint64 lead_frames() const { return lead_bytes_.load() / 4; }
    qint64 signal_frames() const { return signal_.size() / 4; }
    qint64 trail_frames() const { return trail_bytes_ / 4; }
    qint64 total_frames() const { return size() / 4; }
    // Every byte, trailing silence included, has been handed to the output. Any thread.
    bool delivered_all() const { return delivered_.load() >= size(); }

    bool isSequential() const override { return false; }
    qint64 size() const override { return lead_bytes_.load() + signal_.size() + trail_bytes_; }
    qint64 bytesAvailable() const override;

  protected:
    qint64 readData(char* data, qint64 max) override;
    qint64 writeData(const char* data, qint64 len) override;

  private:
    const QByteArray signal_;
    std::atomic<qint64> lead_bytes_;
    const qint64 trail_bytes_;
    std::atomic<qint64> delivered_{0};
};

}  // namespace kerf::player
