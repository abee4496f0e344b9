#include "moves_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <cmath>

#include "image_button.h"
#include "progress_chart.h"
#include "sound_server.h"
#include "synthesis/move.h"
#include "synthesis/wav_reader.h"
#include "tab_control.h"

namespace {
constexpr int kMoveTimeoutMs = 30000;
}

// Sees every text the banner paints: set_banner_text repaints at once.
class BannerRecorder : public QObject {
  public:
    explicit BannerRecorder(QLabel* label) : label_(label) { label->installEventFilter(this); }
    QStringList texts;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == label_ && event->type() == QEvent::Paint) {
            const QString text = label_->text();
            if (texts.isEmpty() || texts.back() != text) texts << text;
        }
        return false;
    }

  private:
    QLabel* label_;
};

void MovesTest::SetUp() {
    const QString problem = kerf::test::sound_server_problem();
    if (!problem.isEmpty())
        GTEST_SKIP() << "moves play through the test sound server: " << problem.toStdString();
    WindowTest::SetUp();
    // Moves left running by an earlier test end before this one starts.
    ASSERT_TRUE(wait_for_workers());
}

void MovesTest::TearDown() {
    delete recorder_;
    recorder_ = nullptr;
    WindowTest::TearDown();
    EXPECT_TRUE(wait_for_workers()) << "a move's worker did not end after its window";
}

void MovesTest::write_settings(const QByteArray& extra) {
    write_ini(
        "[program]\nis_checked=1\nminfreq=1000\nmaxfreq=20000\nst_time=0.01\n"
        "steps_rev=200\nmm_rev=5\n" +
        extra);
}

Tjoint_form& MovesTest::open_moves(const QByteArray& extra) {
    write_settings(extra);
    Tjoint_form& w = open();
    recorder_ = new BannerRecorder(w.cutlabel);
    return w;
}

QStringList MovesTest::banners() const { return recorder_ ? recorder_->texts : QStringList(); }

void MovesTest::clear_banners() {
    if (recorder_) recorder_->texts.clear();
}

void MovesTest::click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

void MovesTest::set_field(TFrame1* field, const QString& text) { field->setText(text); }

bool MovesTest::wait_for_cut() {
    Tjoint_form& w = window();
    return QTest::qWaitFor(
               [&] {
                   return w.startstopbutton->imageIndex() == 1 ||
                          w.cutlabel->text().startsWith(QStringLiteral("Error: "));
               },
               kMoveTimeoutMs) &&
           w.startstopbutton->imageIndex() == 1;
}

bool MovesTest::wait_for_idle() {
    Tjoint_form& w = window();
    return QTest::qWaitFor(
        [&] {
            return w.startstopbutton->imageIndex() == 0 && w.homebutton->imageIndex() == 0 &&
                   !w.filewritten->isActive() && !w.checktimer->isActive();
        },
        kMoveTimeoutMs);
}

bool MovesTest::wait_for_playing() {
    Tjoint_form& w = window();
    return QTest::qWaitFor([&] { return w.memplay.state() == kerf::MediaPlayer::State::Playing; },
                           kMoveTimeoutMs);
}

bool MovesTest::wait_for_banner(const QString& prefix) {
    Tjoint_form& w = window();
    return QTest::qWaitFor([&] { return w.cutlabel->text().startsWith(prefix); }, kMoveTimeoutMs);
}

bool MovesTest::wait_for_workers() {
    return QTest::qWaitFor([] { return kerf::running_moves() == 0; }, kMoveTimeoutMs);
}

std::int64_t MovesTest::steps_for(double mm) {
    return std::int64_t(std::nearbyint(mm / 5.0 * 200.0));
}

std::int64_t MovesTest::file_pulses(const QString& path) {
    if (!QFile::exists(path)) return 0;
    return kerf::count_pulses(kerf::read_wav(path.toStdString()));
}

std::uint64_t MovesTest::file_id(const QString& path) const {
    struct stat st {};
    if (::stat(path.toUtf8().constData(), &st) != 0) return 0;
    // A hard link keeps the inode in use, so a file written later never gets its number.
    const QString keep = home_->path() + QStringLiteral("/kept-") + QString::number(st.st_ino);
    (void)::link(path.toUtf8().constData(), keep.toUtf8().constData());
    return std::uint64_t(st.st_ino);
}

QString MovesTest::cache(const char* name) const {
    return data_dir() + QLatin1Char('/') + QString::fromUtf8(name);
}

QStringList MovesTest::log_with(const QString& text) const {
    QStringList out;
    for (const QString& line : log_lines())
        if (line.contains(text)) out << line;
    return out;
}

QStringList MovesTest::planner_banners() const {
    QStringList out;
    for (const QString& text : banners())
        if (text.startsWith(QStringLiteral("Calculating phase")) ||
            text == QStringLiteral("Creating sound file, PLEASE WAIT") ||
            text == QStringLiteral("Moving, do not cut"))
            out << text;
    return out;
}

std::vector<QPointF> chart_points(const Tjoint_form& w) {
    const auto& points = w.ProgressChart->points();
    return std::vector<QPointF>(points.begin(), points.end());
}
