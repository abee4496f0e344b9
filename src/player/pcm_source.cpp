#include "pcm_source.h"

#include <algorithm>
#include <cstring>

namespace kerf::player {

PcmSource::PcmSource(QByteArray signal, qint64 lead_frames, qint64 trail_frames)
    : signal_(std::move(signal)), lead_bytes_(lead_frames * 4), trail_bytes_(trail_frames * 4) {}

void PcmSource::set_lead_frames(qint64 frames) {
    if (delivered_.load() == 0) lead_bytes_ = frames * 4;
}

qint64 PcmSource::bytesAvailable() const {
    return std::max<qint64>(size() - delivered_.load(), 0) + QIODevice::bytesAvailable();
}

qint64 PcmSource::readData(char* data, qint64 max) {
    // Whole frames only, so that left and right never trade places.
    const qint64 lead = lead_bytes_.load(), total = size();
    const qint64 n = std::min(max, total - delivered_.load()) / 4 * 4;
    if (n <= 0) return 0;
    qint64 at = delivered_.load();
    const qint64 end = at + n;
    while (at < end) {
        const qint64 signal_end = lead + signal_.size();
        if (at < lead || at >= signal_end) {
            const qint64 silence_end = at < lead ? lead : total;
            const qint64 k = std::min(end, silence_end) - at;
            std::memset(data, 0, size_t(k));
            data += k;
            at += k;
        } else {
            const qint64 k = std::min(end, signal_end) - at;
            std::memcpy(data, signal_.constData() + (at - lead), size_t(k));
            data += k;
            at += k;
        }
    }
    delivered_ = end;
    return n;
}

qint64 PcmSource::writeData(const char*, qint64) { return -1; }

}  // namespace kerf::player
