#pragma once
// The test sound server: recording what the player sends to the null sink kerf_null
// through its monitor, and finding the signals in the recording.

#include <QProcess>
#include <QString>
#include <cstdint>
#include <vector>

#include "synthesis/wav_reader.h"

namespace kerf::test {

// Why the test sound server cannot be used, or empty when it answers with kerf_null as
// its default sink.
QString sound_server_problem();

// Records kerf_null's monitor with parecord for as long as it lives.
class MonitorRecorder {
  public:
    // latency_ms: the recorder's fragment latency, which also sets the sink's.
    MonitorRecorder(const QString& path, int latency_ms);
    ~MonitorRecorder();
    // Waits until samples arrive; false (with why()) when the recorder did not start.
    bool started();
    // Lets the sink's last samples through, stops the recorder and reads the recording.
    WavData finish();
    QString why() const { return why_; }

  private:
    QString path_;
    int latency_ms_;
    QProcess process_;
    QString why_;
};

// One stretch of sound in a recording: frames [begin, end) of it.
struct Stretch {
    std::int64_t begin = 0;
    std::int64_t end = 0;
};

// The stretches of sound, separated by at least min_gap silent frames.
std::vector<Stretch> sound_stretches(const WavData& wav, std::int64_t min_gap);

// Left-channel samples of frames [begin, end).
std::vector<std::int16_t> left_channel(const WavData& wav, std::int64_t begin, std::int64_t end);

}  // namespace kerf::test
