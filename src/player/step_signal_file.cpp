#include "step_signal_file.h"

#include <QtEndian>
#include <exception>

#include "synthesis/wav_reader.h"

namespace kerf::player {

std::optional<QByteArray> load_step_signal(const QString& path, QString& error) {
    if (path.isEmpty()) {
        error = QStringLiteral("No file name given.");
        return std::nullopt;
    }
    WavData wav;
    try {
        wav = read_wav(path.toStdString());
    } catch (const std::exception& e) {
        error = QStringLiteral("Cannot play %1").arg(QString::fromUtf8(e.what()));
        return std::nullopt;
    }
    if (wav.channels != kChannels || wav.sample_rate != kSampleRate) {
        error = QStringLiteral(
                    "Cannot play %1: it has %2 channel(s) at %3 frames per second; the step "
                    "signal must be stereo at %4 frames per second.")
                    .arg(path)
                    .arg(wav.channels)
                    .arg(wav.sample_rate)
                    .arg(kSampleRate);
        return std::nullopt;
    }
    QByteArray bytes(qsizetype(wav.samples.size() * 2), Qt::Uninitialized);
    qToLittleEndian<qint16>(wav.samples.data(), qsizetype(wav.samples.size()), bytes.data());
    return bytes;
}

}  // namespace kerf::player
