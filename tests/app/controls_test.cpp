// The window as the operator sees it at start, and the progress chart.

#include <QAreaSeries>
#include <QChart>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRubberBand>
#include <QTest>
#include <QValueAxis>

#include "callout_panel.h"
#include "frameUnit.h"
#include "image_button.h"
#include "image_view.h"
#include "progress_chart.h"
#include "push_button.h"
#include "tab_control.h"
#include "window_fixture.h"

TEST_F(WindowTest, WindowAtStart) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Kerfplanner"));
    EXPECT_EQ(w.size(), QSize(447, 622));
    EXPECT_EQ(w.cutlabel->text(), QStringLiteral("Kerfplanner"));
    EXPECT_EQ(w.banner_colour().rgba(), kerf::kBannerIdle);
    EXPECT_EQ(w.HeaderToolBar->height(), 46);
    EXPECT_EQ(w.TabControl1->tabBar()->height(), 49);
    // The tabs share the full width of the strip.
    int tabs_width = 0;
    for (int i = 0; i < w.TabControl1->count(); ++i)
        tabs_width += w.TabControl1->tabBar()->tabRect(i).width();
    EXPECT_EQ(tabs_width, w.TabControl1->width());

    const std::pair<QWidget*, const char*> tabs[] = {{w.TabItem1, "Program"},
                                                     {w.TabItem3, "Move"},
                                                     {w.TabItem2, "Settings"},
                                                     {w.TabItem4, "About"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(w.TabControl1->widget(i), tabs[i].first);
        EXPECT_EQ(w.TabControl1->tabText(i), QString::fromLatin1(tabs[i].second));
    }

    // Every named control can be found by its name.
    for (const char* name :
         {"Layout1",         "HeaderToolBar",   "cutpanel",       "cutlabel",       "TabControl1",
          "VertScrollBox1",  "VertScrollBox2",  "VertScrollBox3", "VertScrollBox4", "saw_width",
          "start_x",         "no_cuts",         "Pin_width",      "cut_width",      "Panel5",
          "Panel2",          "startstopbutton", "jobquit",        "ProgressBar1",   "ProgressChart",
          "workpiece_Image", "Panel1",          "distance",       "Panel3",         "homebutton",
          "Homequit",        "ProgressBar2",    "LogMemo",        "minfreq",        "st_time",
          "steps_rev",       "mm_rev",          "maxfreq",        "GroupBox2",      "TrackBar1",
          "Panel4",          "Saveset",         "Panel9",         "ImageControl2",  "Panel10",
          "Label11",         "Label12",         "Label13",        "Version",        "Safety",
          "Safety_Panel",    "Safety_check",    "CalloutPanel1",  "Calloutlabel",   "filewritten",
          "checktimer",      "showerror",       "FloatAnimation1"})
        EXPECT_NE(w.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;

    // The run buttons at rest, no Stop buttons, the picture instead of the chart.
    struct Button {
        kerf::ImageButton* button;
        const char* text;
        int image;
        const char* hint;
        bool visible;
    };
    const Button buttons[] = {
        {w.startstopbutton, "Start", 0, "Press to start movement to Start position", true},
        {w.homebutton, "Start", 0, "Use direction switch to switch direction", false},
        {w.jobquit, "Stop", 2, "", false},
        {w.Homequit, "Stop", 2, "", false},
    };
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.button->objectName().toStdString());
        EXPECT_EQ(b.button->text(), QString::fromLatin1(b.text));
        EXPECT_EQ(b.button->imageIndex(), b.image);
        EXPECT_EQ(b.button->hint(), QString::fromLatin1(b.hint));
        EXPECT_TRUE(b.button->toolTip().isEmpty());  // hints are held, not shown
        EXPECT_TRUE(b.button->isEnabled());
        EXPECT_EQ(b.button->isVisible(), b.visible);
    }
    EXPECT_EQ(w.startstopbutton->captionPixelSize(), 24);
    EXPECT_EQ(w.jobquit->captionPixelSize(), 20);
    EXPECT_TRUE(w.workpiece_Image->isVisible());
    EXPECT_TRUE(w.workpiece_Image->hasPicture());
    EXPECT_TRUE(w.ImageControl2->hasPicture());
    EXPECT_FALSE(w.ProgressChart->isVisible());
    EXPECT_EQ(w.ProgressBar1->value(), 0);
    EXPECT_EQ(w.ProgressBar2->value(), 0);

    const std::pair<TFrame1*, const char*> labels[] = {
        {w.saw_width, "Saw width (mm)"},
        {w.start_x, "Start position (mm)"},
        {w.no_cuts, "Number of cuts"},
        {w.Pin_width, "Pin width (mm)"},
        {w.cut_width, "Cut width (mm)"},
        {w.distance, "Distance to move (mm)"},
        {w.minfreq, "Minimum frequency (steps/sec.)"},
        {w.st_time, "Time to reach max. frequency (sec.)"},
        {w.steps_rev, "Step motor driver dipswitch setting (steps/rev.)"},
        {w.mm_rev, "Spindle advancement (mm/ rev.)"},
        {w.maxfreq, "Maximum frequency (steps/sec.)"},
    };
    for (const auto& [field, label] : labels) {
        EXPECT_EQ(field->Label1->text(), QString::fromLatin1(label));
        EXPECT_EQ(field->Label1->objectName(), QStringLiteral("Label1"));
        EXPECT_EQ(field->Ed->objectName(), QStringLiteral("Ed"));
    }
    EXPECT_EQ(w.GroupBox2->title(), QStringLiteral("Viewing Scale"));
    EXPECT_EQ(w.Saveset->text(), QStringLiteral("Save settings"));
    EXPECT_EQ(w.Label11->text(), QStringLiteral("Kerfplanner"));
    EXPECT_EQ(w.Version->text(), QStringLiteral("Version 5.0 2024"));
    EXPECT_EQ(w.Safety_check->text(),
              QStringLiteral("I know the risks involved using Kerfplanner"));
    EXPECT_GT(w.Safety->toPlainText().size(), 2000);  // the safety notice
    EXPECT_FALSE(w.CalloutPanel1->isVisible());
}

TEST_F(WindowTest, RunButtonImageIndexIsTheMoveState) {
    Tjoint_form& w = open(false);
    QSignalSpy changes(w.startstopbutton, &kerf::ImageButton::imageIndexChanged);
    for (int index : {4, 1, 0}) {
        w.startstopbutton->setImageIndex(index);
        EXPECT_EQ(w.startstopbutton->imageIndex(), index);
        EXPECT_EQ(w.startstopbutton->property("imageIndex").toInt(), index);
    }
    EXPECT_EQ(changes.count(), 3);
    w.startstopbutton->setImageIndex(0);  // unchanged: no signal
    EXPECT_EQ(changes.count(), 3);
}

TEST(ProgressChartTest, StairsKeepTheOrderOfThePoints) {
    kerf::ProgressChart chart;
    EXPECT_EQ(chart.title(), QStringLiteral("Progress"));
    EXPECT_FALSE(chart.chart()->legend()->isVisible());
    const QList<QAbstractAxis*> x = chart.chart()->axes(Qt::Horizontal);
    const QList<QAbstractAxis*> y = chart.chart()->axes(Qt::Vertical);
    ASSERT_EQ(x.size(), 1);
    ASSERT_EQ(y.size(), 1);
    EXPECT_EQ(x.front()->titleText(), QStringLiteral("position (mm)"));
    EXPECT_EQ(y.front()->titleText(), QStringLiteral("depth (mm)"));

    // A job's start, a slot, and a point that goes back to the left (never sorted).
    const QList<QPointF> points = {{0, 0},     {0, 100},    {12, 100}, {12, 50},
                                   {15.2, 50}, {17.47, 50}, {14, 100}};
    for (const QPointF& p : points) chart.add_point(p.x(), p.y());
    EXPECT_EQ(chart.points(), points);
    const QList<QPointF> stairs = {{0, 0},     {0, 100},    {12, 100}, {12, 50},
                                   {15.2, 50}, {17.47, 50}, {14, 50},  {14, 100}};
    EXPECT_EQ(chart.stairs(), stairs);
    EXPECT_EQ(chart.workpiece()->upperSeries()->points(), stairs);

    chart.set_title(QStringLiteral("Moving 2.27 mm for cutting: 2 of 4 for cut: 1"));
    EXPECT_EQ(chart.title(), QStringLiteral("Moving 2.27 mm for cutting: 2 of 4 for cut: 1"));
    chart.clear();
    EXPECT_TRUE(chart.points().isEmpty());
    EXPECT_EQ(chart.workpiece()->upperSeries()->count(), 0);
}

TEST(ProgressChartTest, LooksOfTheSeries) {
    kerf::ProgressChart chart;
    QAreaSeries* series = chart.workpiece();
    EXPECT_EQ(series->name(), QStringLiteral("workpiece"));
    EXPECT_EQ(series->pen().style(), Qt::NoPen);
    EXPECT_FALSE(series->pointsVisible());
    const QImage texture = series->brush().textureImage();
    ASSERT_EQ(texture.size(), QSize(43, 56));
    bool grey = true, plain = true;
    for (int py = 0; py < texture.height(); ++py)
        for (int px = 0; px < texture.width(); ++px) {
            const QRgb c = texture.pixel(px, py);
            grey &= qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
            plain &= c == texture.pixel(0, 0);
        }
    EXPECT_TRUE(grey);
    EXPECT_FALSE(plain);  // it shows the grain of the wood
    EXPECT_EQ(chart.rubberBand(), QChartView::RectangleRubberBand);
}
