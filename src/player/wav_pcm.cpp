#include "wav_pcm.h"

#include <QFile>
#include <cstdint>
#include <cstring>

namespace kerf::player {
namespace {

std::uint32_t le32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 |
           std::uint32_t(u[3]) << 24;
}
std::uint16_t le16(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return std::uint16_t(u[0] | u[1] << 8);
}

}  // namespace

std::optional<PaddedPcm> load_padded_pcm(const QString& path, qint64 lead_frames,
                                         qint64 trail_frames, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray all = file.readAll();
    file.close();
    auto bad = [&](const QString& why) {
        error = QStringLiteral("%1 is not a playable step-signal file: %2").arg(path, why);
        return std::nullopt;
    };
    if (all.size() < 12 || std::memcmp(all.constData(), "RIFF", 4) != 0 ||
        std::memcmp(all.constData() + 8, "WAVE", 4) != 0)
        return bad(QStringLiteral("not a RIFF WAVE file"));
    qsizetype pos = 12;
    bool have_fmt = false;
    while (pos + 8 <= all.size()) {
        const char* chunk = all.constData() + pos;
        const qint64 size = le32(chunk + 4);
        const qsizetype body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || body + 16 > all.size())
                return bad(QStringLiteral("the format chunk is truncated"));
            const char* f = all.constData() + body;
            const int format = le16(f), channels = le16(f + 2), bits = le16(f + 14);
            const std::uint32_t rate = le32(f + 4);
            if (format != 1 || bits != 16)
                return bad(QStringLiteral("not 16-bit PCM"));
            if (channels != kChannels)
                return bad(QStringLiteral("%1 channel(s), the step signal needs 2").arg(channels));
            if (rate != kSampleRate)
                return bad(QStringLiteral("%1 frames per second, the step signal needs %2")
                               .arg(rate)
                               .arg(kSampleRate));
            have_fmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!have_fmt) return bad(QStringLiteral("no format chunk before the data"));
            if (size % kBytesPerFrame != 0 || body + size > all.size())
                return bad(QStringLiteral("the sample data is truncated"));
            PaddedPcm pcm;
            pcm.lead_frames = lead_frames;
            pcm.signal_frames = size / kBytesPerFrame;
            pcm.trail_frames = trail_frames;
            pcm.bytes = QByteArray((lead_frames + trail_frames) * kBytesPerFrame + size, '\0');
            std::memcpy(pcm.bytes.data() + lead_frames * kBytesPerFrame, all.constData() + body,
                        size_t(size));
            return pcm;
        }
        pos = body + size + (size & 1);
    }
    return bad(have_fmt ? QStringLiteral("no sample data") : QStringLiteral("no format chunk"));
}

}  // namespace kerf::player
