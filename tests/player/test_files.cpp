#include "test_files.h"

#include <QFile>
#include <QtEndian>

#include "synthesis/move_steps.h"

namespace kerf::test {
namespace {

class QuietSteps : public MoveSteps {
  public:
    void no_movement() override {}
    void banner(const std::string&) override {}
    void writer_start() override {}
    void progress() override {}
    void done(const std::string&, std::int32_t) override {}
    void error(const std::string&) override {}
    void log(const std::string&, bool) override {}
};

void put32(QByteArray& b, std::uint32_t v) {
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
void put16(QByteArray& b, std::uint16_t v) {
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

}  // namespace

MoveResult write_move_file(const QString& path, double distance_mm) {
    MoveRequest request;
    request.distance_mm = distance_mm;
    request.file = path.toStdString();
    QuietSteps steps;
    return run_move(request, steps);
}

QByteArray make_wav(const WavShape& shape, const QByteArray& data) {
    const std::uint16_t block = std::uint16_t(shape.channels * shape.bits / 8);
    QByteArray b("RIFF");
    put32(b, std::uint32_t(36 + data.size()));
    b.append("WAVEfmt ");
    put32(b, 16);
    put16(b, shape.format);
    put16(b, shape.channels);
    put32(b, shape.sample_rate);
    put32(b, shape.sample_rate * block);
    put16(b, block);
    put16(b, shape.bits);
    b.append("data");
    put32(b, std::uint32_t(data.size()));
    b.append(data);
    return b;
}

QByteArray antiphase_frames(const std::vector<std::int16_t>& left) {
    QByteArray b;
    for (std::int16_t s : left) {
        put16(b, std::uint16_t(s));
        put16(b, std::uint16_t(std::int16_t(-s)));
    }
    return b;
}

bool write_file(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace kerf::test
