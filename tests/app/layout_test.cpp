// Adaptive layout and viewing scale: the numbers of the rules, the magnification of the
// tabs, the compact layout and its return, the growth with a large chart area.

#include <QChart>
#include <QFontMetricsF>
#include <QFrame>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <cmath>
#include <vector>

#include "callout_panel.h"
#include "image_button.h"
#include "image_view.h"
#include "layout_rules.h"
#include "magnifier.h"
#include "progress_chart.h"
#include "track_bar.h"
#include "window_fixture.h"

namespace {

// Lets the window take pending sizes and resizes.
void pump() {
    for (int i = 0; i < 3; ++i) QTest::qWait(10);
}

// A window asked for a size twice: a large banner holds the window's least height until the
// layout has given its room back, as a person dragging the edge would find.
void resize_to(Tjoint_form& w, int width, int height) {
    for (int i = 0; i < 2; ++i) {
        w.resize(width, height);
        pump();
    }
}

void set_scale(Tjoint_form& w, double slider) {
    w.TrackBar1->setValue(slider);
    pump();
}

int outer_width(const Tjoint_form& w) { return w.frameGeometry().width(); }
int outer_height(const Tjoint_form& w) { return w.frameGeometry().height(); }

// The height of the shown one of chart and picture, in logical units.
double chart_area(const Tjoint_form& w) {
    const QWidget* shown = w.ProgressChart->isHidden() ? static_cast<QWidget*>(w.workpiece_Image)
                                                       : static_cast<QWidget*>(w.ProgressChart);
    return shown->height() / static_cast<double>(w.thescale);
}

bool compact(const Tjoint_form& w) { return !w.Panel1->isHidden(); }

}  // namespace

// ---- The numbers ------------------------------------------------------------------------

TEST(ViewingScale, IsTheSliderValueInTenthsPlusOne) {
    const struct {
        double slider;
        float factor;
    } cases[] = {{0, 1.0f}, {1, 1.1f}, {2.5, 1.25f}, {5, 1.5f}, {10, 2.0f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(kerf::viewing_scale(c.slider), c.factor) << c.slider;
}

TEST(EntryRowFit, LinesChangeAtOneAndTwoLabelWidths) {
    // W 450 gives the label width L 300; the text counts with 35 of slack.
    const struct {
        float usable_width;
        float scale;
        float text_width;
        int lines;
        float height;
    } cases[] = {
        {450, 1, 264.9f, 1, 37},  // one line of 16 + 2 + 10 is below the edit box + 5
        {450, 1, 265, 2, 46},     // text + 35 = L: two lines, 2 × 18 + 10
        {450, 1, 564.9f, 2, 46},  // just below 2L
        {450, 1, 565, 3, 64},     // 2L: three lines
        {450, 2, 264.9f, 1, 44},  // the line height is magnified, the width is not
        {450, 2, 265, 2, 78},    {900, 2, 264.9f, 1, 44},
        {0, 1, 100, 1, 37},   // no usable width: one line, nothing divided by zero
        {-5, 1, 100, 1, 37},  // nor below zero
    };
    for (const auto& c : cases) {
        const kerf::EntryRowFit fit =
            kerf::fit_entry_row(c.usable_width, c.scale, c.text_width, 16, TFrame1::kEditHeight);
        EXPECT_FLOAT_EQ(fit.label_width, c.usable_width * 2 / 3) << c.usable_width;
        EXPECT_EQ(fit.lines, c.lines) << c.usable_width << " " << c.scale << " " << c.text_width;
        EXPECT_FLOAT_EQ(fit.height, c.height)
            << c.usable_width << " " << c.scale << " " << c.text_width;
    }
}

TEST(EntryRowFit, AWindowNarrowedToAlmostNothingAsksForBoundedRows) {
    const kerf::EntryRowFit fit = kerf::fit_entry_row(1e-30f, 1, 300, 16, 32);
    EXPECT_GT(fit.lines, 1);
    EXPECT_LE(fit.lines, 1001);
    EXPECT_TRUE(std::isfinite(fit.height));
}

// ---- Entry rows in the window -----------------------------------------------------------

TEST_F(WindowTest, RowLinesFollowTheUnmagnifiedTextWidthAtEveryScale) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    TFrame1* row = w.steps_rev;  // the longest caption
    const QFontMetricsF metrics(kerf::design_font(row->Label1));
    const double text = metrics.horizontalAdvance(row->Label1->text());
    const double line = metrics.height();
    const struct {
        double slider;
        double label_width;  // L, from which W = 1.5 L
        int lines;
    } cases[] = {
        {0, text + 35 + 1, 1},       {0, text + 35 - 1, 2},  {0, (text + 35) / 2 + 1, 2},
        {0, (text + 35) / 2 - 1, 3}, {10, text + 35 + 1, 1}, {10, text + 35 - 1, 2},
        {5, (text + 35) / 2 - 1, 3},
    };
    for (const auto& c : cases) {
        set_scale(w, c.slider);
        const float s = w.thescale;
        row->rescale(static_cast<float>(c.label_width * 1.5), s);
        const double height = std::max(c.lines * (s * line + 2) + 10, 37.0);
        EXPECT_EQ(row->maximumHeight(), std::lround(height * s))
            << "slider " << c.slider << " L " << c.label_width;
        EXPECT_EQ(row->minimumHeight(), row->maximumHeight());
        EXPECT_EQ(row->Label1->maximumWidth(), std::lround(c.label_width * s));
    }
}

TEST_F(WindowTest, LabelsTakeTwoThirdsOfTheWindowAndRowsNeverUndercutTheEditBox) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    for (const double slider : {0.0, 5.0, 10.0}) {
        set_scale(w, slider);
        for (const int width : {447, 700}) {
            resize_to(w, width, 622);
            const double s = w.thescale;
            for (TFrame1* row :
                 {w.saw_width, w.start_x, w.no_cuts, w.Pin_width, w.cut_width, w.distance,
                  w.minfreq, w.st_time, w.steps_rev, w.mm_rev, w.maxfreq}) {
                const float W = static_cast<float>(outer_width(w) / s);
                EXPECT_NEAR(row->Label1->width(), W * 2.0 / 3.0 * s, 1.0)
                    << row->objectName().toStdString() << " slider " << slider;
                EXPECT_GE(row->height(), std::lround(37 * s) - 1)
                    << row->objectName().toStdString() << " slider " << slider;
                EXPECT_EQ(row->Ed->height(), std::lround(32 * s));
            }
        }
    }
}

// ---- Buttons and the About panel --------------------------------------------------------

TEST_F(WindowTest, RunButtonsAreHalfTheWindowAtScaleOne) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    for (const int width : {447, 600, 1000}) {
        resize_to(w, width, 622);
        const double half = outer_width(w) / 2.0;
        w.TabControl1->setCurrentWidget(w.TabItem1);
        pump();
        EXPECT_NEAR(w.startstopbutton->width(), half, 0.5) << width;
        w.TabControl1->setCurrentWidget(w.TabItem3);
        pump();
        EXPECT_NEAR(w.homebutton->width(), half, 0.5) << width;
    }
}

TEST_F(WindowTest, AboutPanelFillsBesideTheLogoWithoutCoveringIt) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    w.TabControl1->setCurrentWidget(w.TabItem4);
    for (const double slider : {0.0, 10.0}) {
        set_scale(w, slider);
        for (const int width : {447, 1000}) {
            resize_to(w, width, 622);
            const double s = w.thescale;
            const double most = (outer_width(w) / s - 100) * s;
            EXPECT_LE(w.Panel10->width(), most + 1) << width << " slider " << slider;
            EXPECT_GE(w.Panel10->x(), w.ImageControl2->geometry().right())
                << width << " slider " << slider;
            EXPECT_EQ(w.ImageControl2->width(), std::lround(100 * s));
        }
    }
}

// ---- Magnification ----------------------------------------------------------------------

TEST_F(WindowTest, ScaleMagnifiesTheTabsButNotTheBannerOrTheCallout) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    const int banner_font = w.cutlabel->font().pixelSize();
    const QFont tab_font = w.TabControl1->tabBar()->font();
    const QSize callout = w.CalloutPanel1->size();
    const double memo_points = w.LogMemo->font().pointSizeF();
    const double safety_points = w.Safety->font().pointSizeF();
    const struct {
        double slider;
        double factor;
    } cases[] = {{10, 2.0}, {2.5, 1.25}, {5, 1.5}, {0, 1.0}};
    for (const auto& c : cases) {
        set_scale(w, c.slider);
        const double f = c.factor;
        EXPECT_FLOAT_EQ(w.thescale, static_cast<float>(f));
        // One control of each tab, with a fixed design size or font.
        EXPECT_EQ(w.saw_width->Ed->maximumHeight(), std::lround(32 * f)) << f;
        EXPECT_EQ(w.distance->Ed->maximumHeight(), std::lround(32 * f)) << f;
        EXPECT_EQ(w.ProgressBar1->maximumHeight(), std::lround(15 * f)) << f;
        EXPECT_EQ(w.ProgressBar2->maximumHeight(), std::lround(20 * f)) << f;
        EXPECT_EQ(w.TrackBar1->maximumHeight(), std::lround(24 * f)) << f;
        EXPECT_EQ(w.Saveset->maximumSize(), QSize(std::lround(160 * f), std::lround(40 * f)));
        EXPECT_EQ(w.ImageControl2->maximumSize(),
                  QSize(std::lround(100 * f), std::lround(100 * f)));
        EXPECT_NEAR(w.LogMemo->font().pointSizeF(), memo_points * f, 0.01) << f;
        EXPECT_NEAR(w.Safety->font().pointSizeF(), safety_points * f, 0.01) << f;
        EXPECT_DOUBLE_EQ(w.startstopbutton->captionScale(), f);
        EXPECT_DOUBLE_EQ(w.Homequit->captionScale(), f);
        // Not magnified.
        EXPECT_EQ(w.cutlabel->font().pixelSize(), banner_font) << f;
        EXPECT_EQ(w.TabControl1->tabBar()->font(), tab_font) << f;
        EXPECT_EQ(w.CalloutPanel1->size(), callout) << f;
    }
    // Back at 1.0 everything is at its design values again: nothing crept.
    EXPECT_EQ(w.LogMemo->font().pointSizeF(), memo_points);
    EXPECT_EQ(w.saw_width->Ed->height(), 32);
}

TEST_F(WindowTest, ChartTextsGrowOnlyAsFarAsTheChartHasRoom) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    w.workpiece_Image->hide();
    w.ProgressChart->show();
    w.ProgressChart->set_title(QStringLiteral("In Position for cutting: 12 of 14 for cut: 10"));
    const struct {
        double slider;
        int width;
        int height;
    } cases[] = {{0, 447, 622}, {10, 447, 622}, {10, 1000, 1200}, {5, 1000, 1200}, {10, 447, 400}};
    for (const auto& c : cases) {
        set_scale(w, c.slider);
        resize_to(w, c.width, c.height);
        const kerf::ProgressChart& chart = *w.ProgressChart;
        const double room = std::min(chart.width() / 400.0, chart.height() / 150.0);
        EXPECT_DOUBLE_EQ(chart.text_scale(), std::max(1.0, std::min<double>(w.thescale, room)))
            << c.slider << " " << c.width << "x" << c.height;
        EXPECT_LT(QFontMetricsF(chart.chart()->titleFont()).horizontalAdvance(chart.title()),
                  chart.width() - 20)
            << c.slider << " " << c.width << "x" << c.height;
    }
    // A window large enough magnifies the chart's texts fully.
    set_scale(w, 10);
    resize_to(w, 1000, 1200);
    EXPECT_DOUBLE_EQ(w.ProgressChart->text_scale(), 2.0);
}

TEST_F(WindowTest, NoTabGetsWiderThanTheWindowAtAnyScale) {
    // Texts that must stay on one line (the About lines, the acknowledgement) fit their
    // room instead of widening the tab, where they and everything beside them would be cut.
    for (const char* ini : {"[program]\nis_checked=1\n", "[program]\n"}) {
        write_ini(ini);
        Tjoint_form& w = open();
        for (const double slider : {0.0, 5.0, 10.0}) {
            set_scale(w, slider);
            resize_to(w, 447, 622);
            for (int i = 0; i < w.TabControl1->count(); ++i) {
                if (!w.TabControl1->isTabVisible(i)) continue;
                w.TabControl1->setCurrentIndex(i);
                pump();
                const auto* box = w.TabControl1->widget(i)->findChild<QScrollArea*>();
                ASSERT_NE(box, nullptr);
                EXPECT_LE(box->widget()->width(), box->viewport()->width())
                    << box->objectName().toStdString() << " slider " << slider << " " << ini;
            }
            for (QLabel* label : {w.Label11, w.Label12, w.Label13, w.Version})
                EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(label->text()),
                          label->contentsRect().width() + 0.5)
                    << label->objectName().toStdString() << " slider " << slider;
            if (w.Safety_check->isVisible()) {
                EXPECT_LE(w.Safety_check->sizeHint().width(), w.Safety_check->width())
                    << "slider " << slider;
            }
        }
        window_.reset();
    }
}

// ---- Compact layout and return ----------------------------------------------------------

TEST_F(WindowTest, ALowWindowTurnsCompactAndATallOneReturns) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    ASSERT_FALSE(compact(w));
    EXPECT_EQ(w.HeaderToolBar->height(), 46);

    resize_to(w, 447, 400);
    ASSERT_TRUE(compact(w));
    const double third = outer_height(w) / 3.0;
    EXPECT_EQ(w.HeaderToolBar->height(), 48);
    EXPECT_EQ(w.Panel2->height(), std::lround(third));
    EXPECT_EQ(w.Panel3->height(), std::lround(third));
    EXPECT_EQ(w.workpiece_Image->height(), std::lround(third));
    EXPECT_NEAR(w.Panel5->height(), w.Panel2->height() + w.workpiece_Image->height() + 15, 1);
    EXPECT_TRUE(w.VertScrollBox1->verticalScrollBar()->isVisible());  // the tab scrolls

    // Tall enough for the standard layout: the run area fills the tab again; the chart area
    // is then large, so the banner and run buttons grow from the standard 48 and 150.
    resize_to(w, 447, 1000);
    ASSERT_FALSE(compact(w));
    EXPECT_FALSE(w.VertScrollBox1->verticalScrollBar()->isVisible());
    EXPECT_EQ(w.ProgressChart->height(), 200);  // hidden: set to 200 before it filled again
    EXPECT_GE(w.Panel2->height(), 150);
    EXPECT_EQ(w.Panel3->height(), w.Panel2->height());
    EXPECT_GT(w.HeaderToolBar->height(), 48);
    EXPECT_NEAR(chart_area(w), kerf::kLargeChartArea, 1.5);
    // The run area fills the content down to its margin.
    const QWidget* content = w.VertScrollBox1->widget();
    EXPECT_NEAR(w.Panel5->geometry().bottom(), content->height() - 1 - 4, 1);
}

TEST_F(WindowTest, AWindowTooShortForTheStandardLayoutStaysCompact) {
    // Made taller, but not so much that the compact contents leave room below them.
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    resize_to(w, 447, 400);
    ASSERT_TRUE(compact(w));
    const int panel = w.Panel2->height();
    resize_to(w, 447, 560);
    EXPECT_TRUE(compact(w));
    EXPECT_LE(w.Panel1->height(), 1);
    EXPECT_EQ(w.Panel2->height(), panel);  // the compact sizes stay as they were
}

TEST_F(WindowTest, TheProgramTabIsFittedWhileAnotherTabIsInFront) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    resize_to(w, 447, 1200);
    ASSERT_GT(w.HeaderToolBar->height(), 100);  // grown
    w.TabControl1->setCurrentWidget(w.TabItem2);
    pump();
    resize_to(w, 447, 450);
    // The grown banner gives its room back although the Program tab is not shown.
    EXPECT_EQ(w.HeaderToolBar->height(), 48);
    EXPECT_TRUE(compact(w));
    EXPECT_EQ(w.height(), 450);  // nothing holds the window taller
    w.TabControl1->setCurrentWidget(w.TabItem1);
    pump();
    EXPECT_TRUE(compact(w));
    // A third of the window at the moment the layout turned compact.
    EXPECT_EQ(w.workpiece_Image->height(), w.Panel2->height());
    EXPECT_EQ(w.Panel3->height(), w.Panel2->height());
    EXPECT_NEAR(w.Panel5->height(), w.Panel2->height() + w.workpiece_Image->height() + 15, 1);
}

TEST_F(WindowTest, TheChartDuringAJobIsTheChartAreaToo) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    w.workpiece_Image->hide();
    w.ProgressChart->show();
    resize_to(w, 447, 400);
    EXPECT_TRUE(compact(w));
    EXPECT_EQ(w.ProgressChart->height(), std::lround(outer_height(w) / 3.0));
}

// ---- Growth -----------------------------------------------------------------------------

TEST_F(WindowTest, ALargeChartAreaGrowsBannerAndRunButtonsAndEnds) {
    const struct {
        double slider;
        int height;
    } cases[] = {{0, 800}, {0, 1200}, {0, 1600}, {5, 1600}, {10, 1600}};
    for (const auto& c : cases) {
        write_ini("[program]\nis_checked=1\n");
        Tjoint_form& w = open();
        set_scale(w, c.slider);
        resize_to(w, 447, c.height);
        ASSERT_FALSE(compact(w)) << c.height;
        // Each pass halves what is left over 300.1; it ends within a pixel of it.
        EXPECT_GT(chart_area(w), kerf::kLargeChartArea - 1.0 / w.thescale - 0.5) << c.height;
        EXPECT_LT(chart_area(w), kerf::kLargeChartArea + 1.0 / w.thescale + 0.5) << c.height;
        EXPECT_GT(w.HeaderToolBar->height(), 48) << c.height;
        EXPECT_GT(w.Panel2->height(), std::lround(150 * w.thescale)) << c.height;
        EXPECT_EQ(w.Panel3->height(), w.Panel2->height()) << c.height;

        // Settled: fitting again, or the same size once more, changes nothing.
        const int banner = w.HeaderToolBar->height();
        const int panel = w.Panel2->height();
        w.arrange_layout();
        resize_to(w, 447, c.height);
        EXPECT_EQ(w.HeaderToolBar->height(), banner) << c.height;
        EXPECT_EQ(w.Panel2->height(), panel) << c.height;
        window_.reset();
    }
}

TEST_F(WindowTest, AGrownWindowMadeLowTurnsCompactAndGivesTheBannerBack) {
    // Made lower, the grown banner and run buttons leave the chart area no room: the tab
    // turns compact (it must not keep the standard layout and scroll it instead).
    for (const int low : {900, 400}) {
        write_ini("[program]\nis_checked=1\n");
        Tjoint_form& w = open();
        resize_to(w, 447, 1600);
        ASSERT_GT(w.HeaderToolBar->height(), 300);
        resize_to(w, 447, low);
        EXPECT_EQ(w.height(), low);  // the grown banner does not hold the window tall
        EXPECT_TRUE(compact(w)) << low;
        EXPECT_EQ(w.HeaderToolBar->height(), 48) << low;
        window_.reset();
    }
}

TEST_F(WindowTest, TheStandardLayoutNeverScrolls) {
    // Either the run area fits the Program tab with a chart area of at least 100.1, or the tab
    // turns compact; whatever order of sizes and scales led there.
    struct Step {
        double slider;
        int height;
    };
    const std::vector<std::vector<Step>> sequences = {
        {{0, 1600}, {5, 1600}}, {{0, 1600}, {10, 1600}},
        {{0, 1600}, {0, 900}},  {{0, 1200}, {5, 1200}, {0, 1200}, {0, 700}},
        {{10, 622}, {0, 622}},  {{5, 400}, {5, 1400}},
    };
    for (const auto& sequence : sequences) {
        write_ini("[program]\nis_checked=1\n");
        Tjoint_form& w = open();
        for (const Step& step : sequence) {
            set_scale(w, step.slider);
            resize_to(w, 447, step.height);
            if (compact(w)) continue;
            EXPECT_FALSE(w.VertScrollBox1->verticalScrollBar()->isVisible())
                << "slider " << step.slider << " height " << step.height;
            EXPECT_GT(chart_area(w), kerf::kSmallChartArea - 1)
                << "slider " << step.slider << " height " << step.height;
        }
        window_.reset();
    }
}

TEST_F(WindowTest, AChartAreaBetweenTheThresholdsChangesNothing) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    resize_to(w, 447, 700);
    ASSERT_GT(chart_area(w), kerf::kSmallChartArea);
    ASSERT_LT(chart_area(w), kerf::kLargeChartArea);
    EXPECT_FALSE(compact(w));
    EXPECT_EQ(w.HeaderToolBar->height(), 46);
    EXPECT_EQ(w.Panel2->height(), 150);
    EXPECT_EQ(w.Panel3->height(), 150);
}

TEST_F(WindowTest, ACompactLayoutWithATallChartAreaDoesNotGrowWithoutEnd) {
    // Doubling the scale of a tall window makes the Program tab compact with a chart area of
    // a third of the window, above 300.1; in the compact layout the chart area cannot shrink
    // when the banner grows, so growing there would never end. It stays compact at 48.
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    resize_to(w, 447, 1000);
    set_scale(w, 10);
    ASSERT_TRUE(compact(w));
    EXPECT_EQ(w.HeaderToolBar->height(), 48);
    EXPECT_NEAR(chart_area(w), outer_height(w) / 3.0, 0.5);
    EXPECT_GT(w.TabControl1->height(), outer_height(w) / 2);
}

// ---- Scale restored at start ------------------------------------------------------------

TEST_F(WindowTest, ASavedScaleIsAppliedAtStart) {
    const struct {
        const char* ini;
        float factor;
    } cases[] = {
        {"[program]\nis_checked=1\nscale=5\n", 1.5f},
        {"[program]\nis_checked=1\nscale=10\n", 2.0f},
        // The slider's design value: it does not move, but the scale must still apply.
        {"[program]\nis_checked=1\nscale=1\n", 1.1f},
        {"[program]\nis_checked=1\n", 1.0f},
    };
    for (const auto& c : cases) {
        write_ini(c.ini);
        Tjoint_form& w = open();
        pump();
        EXPECT_FLOAT_EQ(w.thescale, c.factor) << c.ini;
        EXPECT_EQ(w.saw_width->Ed->height(), std::lround(32 * c.factor)) << c.ini;
        EXPECT_DOUBLE_EQ(w.startstopbutton->captionScale(), c.factor) << c.ini;
        EXPECT_NEAR(w.startstopbutton->width(), outer_width(w) / 2.0, 0.5) << c.ini;
        window_.reset();
    }
}

// ---- Focus highlight --------------------------------------------------------------------

TEST_F(WindowTest, FocusOnARunButtonChangesOnlyTheCaptionColourOnTheDesktop) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    const QPalette palette = w.startstopbutton->palette();
    const int children = w.startstopbutton->findChildren<QWidget*>().size();
    EXPECT_EQ(w.startstopbutton->captionColor(), QColor(0, 0, 0));
    w.startstopbutton->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.startstopbutton->captionColor(), QColor(0, 0, 255));
    w.saw_width->Ed->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(w.startstopbutton->captionColor(), QColor(0, 0, 0));
    EXPECT_EQ(w.startstopbutton->palette(), palette);
    EXPECT_EQ(w.startstopbutton->findChildren<QWidget*>().size(), children);
}

TEST_F(WindowTest, FocusColoursTheHighlightElementOfALookThatHasOne) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    w.TabControl1->setCurrentWidget(w.TabItem3);
    pump();
    auto* element = new QFrame(w.homebutton);
    element->setObjectName(QStringLiteral("rectangle3style"));
    w.homebutton->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(element->palette().color(QPalette::Window), QColor(0, 0, 255));
    w.distance->Ed->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(element->palette().color(QPalette::Window), QColor(255, 255, 255));
}
