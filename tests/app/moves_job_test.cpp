// A joint job through real clicks: the stages, their chart titles and points, the files
// they build or replay, and the rejection of values that cannot make a joint.

#include <QColor>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <vector>

#include "image_button.h"
#include "image_view.h"
#include "moves_fixture.h"
#include "progress_chart.h"
#include "tab_control.h"

namespace {

using State = kerf::MediaPlayer::State;

struct Click {
    const char* moving_title;   // chart title right after the click
    const char* file;           // the cached file of the move
    bool built;                 // planned and written (else the cached file is replayed)
    const char* arrived_title;  // chart title once in position
    int points;                 // chart points once in position
};

struct JobCase {
    const char* name;
    const char *saw, *cut, *pin, *cuts, *start;
    std::vector<Click> clicks;  // every click but the last, which ends the job
    std::vector<QPointF> points;
    std::vector<std::pair<const char*, double>> files;  // file, distance it holds
};

void PrintTo(const JobCase& c, std::ostream* os) { *os << c.name; }

class JobStages : public MovesTest, public testing::WithParamInterface<JobCase> {};

TEST_P(JobStages, RunThroughEveryStage) {
    const JobCase& c = GetParam();
    Tjoint_form& w =
        open_moves(QByteArray("saw_width=") + c.saw + "\ncut_width=" + c.cut +
                   "\npin_width=" + c.pin + "\nno_cuts=" + c.cuts + "\nstart_x=" + c.start + "\n");
    for (std::size_t i = 0; i < c.clicks.size(); ++i) {
        SCOPED_TRACE("click " + std::to_string(i + 1));
        const Click& k = c.clicks[i];
        clear_banners();
        const int lines_before = int(log_lines().size());
        click(w.startstopbutton);

        EXPECT_EQ(w.ProgressChart->title(), QString::fromUtf8(k.moving_title));
        EXPECT_FALSE(w.startstopbutton->isEnabled());
        EXPECT_EQ(w.startstopbutton->imageIndex(), 4);
        EXPECT_TRUE(w.jobquit->isVisible());
        EXPECT_FALSE(w.TabControl1->isTabEnabled(w.TabItem2));
        EXPECT_FALSE(w.TabControl1->isTabEnabled(w.TabItem3));
        // A cached file starts at once; a new one is prepared first.
        EXPECT_EQ(w.memplay.state() == State::Playing, !k.built);

        ASSERT_TRUE(wait_for_cut()) << w.cutlabel->text().toStdString();
        EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Make the cut now"));
        EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerCut));
        EXPECT_EQ(w.startstopbutton->text(), QStringLiteral("Continue"));
        EXPECT_EQ(w.startstopbutton->hint(),
                  QStringLiteral("Press to start movement for next cut"));
        EXPECT_TRUE(w.startstopbutton->isEnabled());
        EXPECT_EQ(w.ProgressChart->title(), QString::fromUtf8(k.arrived_title));
        EXPECT_EQ(int(chart_points(w).size()), k.points);
        // The job's fields stay as they are from the arrival at the start position on.
        EXPECT_FALSE(w.saw_width->isEnabled());
        EXPECT_FALSE(w.start_x->isEnabled());

        const QString file = cache(k.file);
        const QStringList lines = log_lines().mid(lines_before);
        EXPECT_TRUE(lines.filter(QStringLiteral(" : playfilename: ") + file).size() == 1)
            << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(lines.filter(QStringLiteral(" : Playing: ") + file).size() == 1);
        if (k.built) {
            // The planner's texts in order (a short move has no cruise phase), then the
            // writer's.
            const QStringList planner = planner_banners();
            ASSERT_GE(planner.size(), 4) << banners().join(QLatin1Char('|')).toStdString();
            EXPECT_EQ(planner.front(), QStringLiteral("Calculating phase 1 of 3"));
            EXPECT_EQ(planner.at(planner.size() - 3), QStringLiteral("Calculating phase 3 of 3"));
            EXPECT_EQ(planner.mid(planner.size() - 2),
                      QStringList({QStringLiteral("Creating sound file, PLEASE WAIT"),
                                   QStringLiteral("Moving, do not cut")}));
        } else {
            EXPECT_TRUE(planner_banners().isEmpty())
                << banners().join(QLatin1Char('|')).toStdString();
        }
        EXPECT_EQ(banners().front(), QStringLiteral("Moving do not cut"));
        EXPECT_EQ(banners().back(), QStringLiteral("Make the cut now"));
    }

    const std::vector<QPointF> points = chart_points(w);
    ASSERT_EQ(points.size(), c.points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].x(), c.points[i].x(), 1e-9) << "point " << i;
        EXPECT_EQ(points[i].y(), c.points[i].y()) << "point " << i;
    }
    for (const auto& [name, mm] : c.files)
        EXPECT_EQ(file_pulses(cache(name)), steps_for(mm)) << name;

    // The last click ends the job: no move.
    const int lines_before = int(log_lines().size());
    click(w.startstopbutton);
    EXPECT_EQ(w.startstopbutton->imageIndex(), 0);
    EXPECT_TRUE(w.startstopbutton->isEnabled());
    EXPECT_EQ(w.startstopbutton->text(), QStringLiteral("Start"));
    EXPECT_EQ(w.startstopbutton->hint(),
              QStringLiteral("Press to start movement to Start position"));
    EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Kerfplanner"));
    EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerIdle));
    EXPECT_FALSE(w.ProgressChart->isVisible());
    EXPECT_TRUE(w.workpiece_Image->isVisible());
    EXPECT_FALSE(w.jobquit->isVisible());
    EXPECT_TRUE(w.saw_width->isEnabled());
    EXPECT_TRUE(w.start_x->isEnabled());
    EXPECT_TRUE(w.TabControl1->isTabEnabled(w.TabItem2));
    EXPECT_TRUE(w.TabControl1->isTabEnabled(w.TabItem3));
    EXPECT_EQ(w.ProgressBar1->value(), 0);
    EXPECT_EQ(int(log_lines().size()), lines_before);  // the end writes no line
    QTest::qWait(300);
    EXPECT_EQ(w.memplay.state(), State::Stopped);
}

const double kFill = 6.8 / 3;  // saw 3.2, cut 10: three fill moves

INSTANTIATE_TEST_SUITE_P(
    Plans, JobStages,
    testing::Values(JobCase{"CutEqualsSaw",
                            "3.2",
                            "3.2",
                            "10",
                            "3",
                            "5",
                            {{"Moving to Start position", "Start.wav", true,
                              "In Position for cutting: 1 of 1 for cut: 1", 5},
                             {"Moving 13.20 mm for cutting: 1 of 1 for cut: 2", "Pin.wav", true,
                              "In Position for cutting: 1 of 1 for cut: 2", 9},
                             {"Moving 13.20 mm for cutting: 1 of 1 for cut: 3", "Pin.wav", false,
                              "In Position for cutting: 1 of 1 for cut: 3", 13}},
                            {{0, 0},
                             {0, 100},
                             {5, 100},
                             {5, 50},
                             {8.2, 50},
                             {8.2, 100},
                             {18.2, 100},
                             {18.2, 50},
                             {21.4, 50},
                             {21.4, 100},
                             {31.4, 100},
                             {31.4, 50},
                             {34.6, 50}},
                            {{"Start.wav", 5}, {"Pin.wav", 13.2}}},
                    JobCase{"OneCut",
                            "3.2",
                            "10",
                            "10",
                            "1",
                            "5",
                            {{"Moving to Start position", "Start.wav", true,
                              "In Position for cutting: 1 of 4 for cut: 1", 5},
                             {"Moving 2.27 mm for cutting: 2 of 4 for cut: 1", "Fillcut.wav", true,
                              "In Position for cutting: 2 of 4 for cut: 1", 6},
                             {"Moving 2.27 mm for cutting: 3 of 4 for cut: 1", "Fillcut.wav", false,
                              "In Position for cutting: 3 of 4 for cut: 1", 7},
                             {"Moving 2.27 mm for cutting: 4 of 4 for cut: 1", "Fillcut.wav", false,
                              "In Position for cutting: 4 of 4 for cut: 1", 8}},
                            {{0, 0},
                             {0, 100},
                             {5, 100},
                             {5, 50},
                             {8.2, 50},
                             {5 + kFill + 3.2, 50},
                             {5 + 2 * kFill + 3.2, 50},
                             {15, 50}},
                            {{"Start.wav", 5}, {"Fillcut.wav", kFill}}},
                    JobCase{"TwoCutsOfTenWithSawOf3_2",
                            "3.2",
                            "10",
                            "10",
                            "2",
                            "5",
                            {{"Moving to Start position", "Start.wav", true,
                              "In Position for cutting: 1 of 4 for cut: 1", 5},
                             {"Moving 2.27 mm for cutting: 2 of 4 for cut: 1", "Fillcut.wav", true,
                              "In Position for cutting: 2 of 4 for cut: 1", 6},
                             {"Moving 2.27 mm for cutting: 3 of 4 for cut: 1", "Fillcut.wav", false,
                              "In Position for cutting: 3 of 4 for cut: 1", 7},
                             {"Moving 2.27 mm for cutting: 4 of 4 for cut: 1", "Fillcut.wav", false,
                              "In Position for cutting: 4 of 4 for cut: 1", 8},
                             {"Moving 13.20 mm for cutting: 1 of 4 for cut: 2", "Pin.wav", true,
                              "In Position for cutting: 1 of 4 for cut: 2", 12},
                             {"Moving 2.27 mm for cutting: 2 of 4 for cut: 2", "Fillcut.wav", false,
                              "In Position for cutting: 2 of 4 for cut: 2", 13},
                             {"Moving 2.27 mm for cutting: 3 of 4 for cut: 2", "Fillcut.wav", false,
                              "In Position for cutting: 3 of 4 for cut: 2", 14},
                             {"Moving 2.27 mm for cutting: 4 of 4 for cut: 2", "Fillcut.wav", false,
                              "In Position for cutting: 4 of 4 for cut: 2", 15}},
                            {{0, 0},
                             {0, 100},
                             {5, 100},
                             {5, 50},
                             {8.2, 50},
                             {5 + kFill + 3.2, 50},
                             {5 + 2 * kFill + 3.2, 50},
                             {15, 50},
                             {15, 100},
                             {25, 100},
                             {25, 50},
                             {28.2, 50},
                             {25 + kFill + 3.2, 50},
                             {25 + 2 * kFill + 3.2, 50},
                             {35, 50}},
                            {{"Start.wav", 5}, {"Fillcut.wav", kFill}, {"Pin.wav", 13.2}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MovesTest, CountersOfEachMoveAreLogged) {
    Tjoint_form& w =
        open_moves("saw_width=3.2\ncut_width=10\npin_width=10\nno_cuts=2\nstart_x=5\n");
    for (int i = 0; i < 5; ++i) {
        click(w.startstopbutton);
        ASSERT_TRUE(wait_for_cut());
    }
    const QStringList counters = log_with(QStringLiteral("Fastcounter: "));
    EXPECT_EQ(counters.size(), 4);
    ASSERT_FALSE(counters.isEmpty());
    EXPECT_TRUE(counters.front().endsWith(QStringLiteral(
        " : Fastcounter: 0, cutcounter 0, processcounter: 2, stagecounter: 2, wcounter: 3")));
    EXPECT_TRUE(counters.back().endsWith(QStringLiteral(
        " : Fastcounter: 3, cutcounter 1, processcounter: 5, stagecounter: 5, wcounter: 3")));
    EXPECT_EQ(log_with(QStringLiteral(" : New program")).size(), 1);
}

TEST_F(MovesTest, StartPositionThatNeedsNoMovement) {
    Tjoint_form& w =
        open_moves("saw_width=3.2\ncut_width=10\npin_width=10\nno_cuts=1\nstart_x=0\n");
    click(w.startstopbutton);
    ASSERT_TRUE(wait_for_cut());
    EXPECT_EQ(w.playfilename, QStringLiteral("nil"));
    EXPECT_EQ(log_with(QStringLiteral("Distance less than half a step. no movement.")).size(), 1);
    EXPECT_TRUE(log_with(QStringLiteral(" : Playing: ")).isEmpty());
    EXPECT_FALSE(QFile::exists(cache("Start.wav")));
    EXPECT_EQ(w.ProgressChart->title(),
              QStringLiteral("In Position for cutting: 1 of 4 for cut: 1"));
    const std::vector<QPointF> points = chart_points(w);
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[2], QPointF(0, 100));
    EXPECT_EQ(points[3], QPointF(0, 50));
    EXPECT_EQ(points[4], QPointF(3.2, 50));
    // The job goes on as if the carriage had arrived.
    click(w.startstopbutton);
    ASSERT_TRUE(wait_for_cut());
    EXPECT_EQ(w.ProgressChart->title(),
              QStringLiteral("In Position for cutting: 2 of 4 for cut: 1"));
}

TEST_F(MovesTest, SecondJobReplaysTheFilesOfTheFirst) {
    Tjoint_form& w =
        open_moves("saw_width=3.2\ncut_width=10\npin_width=10\nno_cuts=2\nstart_x=5\n");
    for (int i = 0; i < 5; ++i) {
        click(w.startstopbutton);
        ASSERT_TRUE(wait_for_cut());
    }
    const auto start_id = file_id(cache("Start.wav"));
    const auto fill_id = file_id(cache("Fillcut.wav"));
    const auto pin_id = file_id(cache("Pin.wav"));
    ASSERT_NE(pin_id, 0u);
    click(w.jobquit);
    ASSERT_EQ(dialogs().size(), 1);
    press(dialogs().front(), QMessageBox::Yes);

    clear_banners();
    for (int i = 0; i < 5; ++i) {
        click(w.startstopbutton);
        EXPECT_EQ(w.memplay.state(), State::Playing) << "click " << i + 1;
        ASSERT_TRUE(wait_for_cut());
    }
    EXPECT_TRUE(planner_banners().isEmpty()) << banners().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(file_id(cache("Start.wav")), start_id);
    EXPECT_EQ(file_id(cache("Fillcut.wav")), fill_id);
    EXPECT_EQ(file_id(cache("Pin.wav")), pin_id);
}

TEST_F(MovesTest, ChangedStartPositionRebuildsOnlyTheStartFile) {
    Tjoint_form& w =
        open_moves("saw_width=3.2\ncut_width=10\npin_width=10\nno_cuts=1\nstart_x=5\n");
    click(w.startstopbutton);
    ASSERT_TRUE(wait_for_cut());
    click(w.startstopbutton);
    ASSERT_TRUE(wait_for_cut());
    click(w.jobquit);
    press(dialogs().front(), QMessageBox::Yes);
    const auto fill_id = file_id(cache("Fillcut.wav"));

    // "5.0" is another text for the same number: the start file is built anew all the same.
    w.start_x->setText(QStringLiteral("5.0"));
    clear_banners();
    click(w.startstopbutton);
    EXPECT_NE(w.memplay.state(), State::Playing);
    ASSERT_TRUE(wait_for_cut());
    EXPECT_FALSE(planner_banners().isEmpty());
    EXPECT_EQ(file_pulses(cache("Start.wav")), steps_for(5));
    clear_banners();
    click(w.startstopbutton);
    ASSERT_TRUE(wait_for_cut());
    EXPECT_TRUE(planner_banners().isEmpty());
    EXPECT_EQ(file_id(cache("Fillcut.wav")), fill_id);
}

// ---- Rejected values --------------------------------------------------------------------

struct RejectCase {
    const char* name;
    const char* values;  // settings lines
    const char* message;
};

void PrintTo(const RejectCase& c, std::ostream* os) { *os << c.name; }

class Rejection : public MovesTest,
                  public testing::WithParamInterface<std::tuple<RejectCase, bool>> {};

TEST_P(Rejection, DialogThenBannerOnlyWithOk) {
    const auto& [c, ok] = GetParam();
    Tjoint_form& w = open_moves(c.values);
    const QByteArray ini_before = read_ini();
    click(w.startstopbutton);
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(dialogs().front()->text(), QString::fromUtf8(c.message));
    EXPECT_EQ(dialogs().front()->icon(), QMessageBox::Information);
    EXPECT_EQ(dialogs().front()->standardButtons(), QMessageBox::Ok);
    // No job started: nothing saved, nothing moving.
    EXPECT_EQ(w.startstopbutton->imageIndex(), 0);
    EXPECT_FALSE(w.jobquit->isVisible());
    EXPECT_EQ(read_ini(), ini_before);
    if (ok) {
        press(dialogs().front(), QMessageBox::Ok);
        EXPECT_EQ(w.cutlabel->text(), QString::fromUtf8(c.message));
        EXPECT_EQ(w.banner_colour(), QColor::fromRgba(kerf::kBannerIdle));
        ASSERT_FALSE(log_lines().isEmpty());
        EXPECT_TRUE(
            log_lines().back().endsWith(QStringLiteral(" : ") + QString::fromUtf8(c.message)));
        EXPECT_TRUE(w.Calloutlabel->text().endsWith(QString::fromUtf8(c.message)));  // critical
    } else {
        dialogs().front()->reject();  // closed with Escape or the window's close button
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Kerfplanner"));
        EXPECT_TRUE(log_lines().isEmpty());
    }
    EXPECT_TRUE(dialogs().isEmpty());
    EXPECT_EQ(w.startstopbutton->imageIndex(), 0);
    EXPECT_EQ(w.memplay.state(), State::Stopped);
    EXPECT_FALSE(QFile::exists(cache("Start.wav")));
}

INSTANTIATE_TEST_SUITE_P(
    Values, Rejection,
    testing::Combine(
        testing::Values(RejectCase{"SawBigger", "saw_width=3.3\ncut_width=3.2\n",
                                   "Saw width 3.30 is bigger than cut width 3.20"},
                        RejectCase{"NoCuts", "no_cuts=0\n",
                                   "Please do not enter numbers less than or equal zero"},
                        RejectCase{"ZeroPin", "pin_width=0\n",
                                   "Please do not enter numbers less than or equal zero"}),
        testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "_Ok" : "_Closed");
    });

TEST_F(MovesTest, ValuesChangedOnTheWayToTheStartAreRejectedAtTheNextClick) {
    Tjoint_form& w =
        open_moves("saw_width=3.2\ncut_width=10\npin_width=10\nno_cuts=2\nstart_x=5\n");
    click(w.startstopbutton);
    w.saw_width->setText(QStringLiteral("12"));  // the fields stay open until the arrival
    ASSERT_TRUE(wait_for_cut());
    click(w.startstopbutton);
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(dialogs().front()->text(),
              QStringLiteral("Saw width 12.00 is bigger than cut width 10.00"));
    // Closed otherwise: the job waits where it was.
    dialogs().front()->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.startstopbutton->imageIndex(), 1);
    EXPECT_TRUE(w.jobquit->isVisible());
    // With OK the job ends.
    click(w.startstopbutton);
    ASSERT_EQ(dialogs().size(), 1);
    press(dialogs().front(), QMessageBox::Ok);
    EXPECT_EQ(w.startstopbutton->imageIndex(), 0);
    EXPECT_FALSE(w.jobquit->isVisible());
    EXPECT_TRUE(w.saw_width->isEnabled());
}

}  // namespace
