// The event log, its time stamps, and the callout of the last critical line.

#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QVariantAnimation>
#include <QWindow>

#include "callout_panel.h"
#include "event_log.h"
#include "image_button.h"
#include "window_fixture.h"

namespace {

const QString kTimeStamp = QStringLiteral("\\S+ \\d{1,2} \\S+ at \\d\\d:\\d\\d:\\d\\d");

}  // namespace

TEST(LogTimeStamp, DayAndMonthNamesFromTheLocaleAndColonsAlways) {
    const QDateTime morning(QDate(2024, 12, 3), QTime(9, 5, 7));
    EXPECT_EQ(kerf::log_time_stamp(morning, QLocale(QLocale::English, QLocale::UnitedKingdom)),
              QStringLiteral("Tue 3 Dec at 09:05:07"));
    EXPECT_EQ(kerf::log_line(QDateTime(QDate(2024, 1, 28), QTime(23, 59, 0)),
                             QLocale(QLocale::English, QLocale::UnitedStates),
                             QStringLiteral("Settings saved")),
              QStringLiteral("Sun 28 Jan at 23:59:00 : Settings saved"));

    // Finnish writes times with "." and German names differ: only the names follow.
    for (const QLocale& names : {QLocale(QLocale::German), QLocale(QLocale::Finnish)}) {
        const QString expected = names.dayName(2, QLocale::ShortFormat) + QStringLiteral(" 3 ") +
                                 names.monthName(12, QLocale::ShortFormat) +
                                 QStringLiteral(" at 09:05:07");
        EXPECT_EQ(kerf::log_time_stamp(morning, names), expected);
    }
}

TEST_F(WindowTest, LogKeepsTheNewest251Lines) {
    Tjoint_form& w = open(false);
    for (int call = 1; call <= 300; ++call) w.log(QStringLiteral("line %1").arg(call), false);
    const QStringList lines = log_lines();
    ASSERT_EQ(lines.size(), 251);
    EXPECT_TRUE(lines.front().endsWith(QStringLiteral(" : line 50")));
    EXPECT_TRUE(lines.back().endsWith(QStringLiteral(" : line 300")));
    // The newest line is in view.
    EXPECT_EQ(w.LogMemo->verticalScrollBar()->value(), w.LogMemo->verticalScrollBar()->maximum());
    EXPECT_GT(w.LogMemo->verticalScrollBar()->maximum(), 0);
}

TEST_F(WindowTest, LogLineForm) {
    Tjoint_form& w = open(false);
    EXPECT_TRUE(log_lines().isEmpty());  // emptied at creation
    w.log(QStringLiteral("Settings saved"), false);
    const QRegularExpression form(QStringLiteral("^") + kTimeStamp +
                                  QStringLiteral(" : Settings saved$"));
    ASSERT_EQ(log_lines().size(), 1);
    EXPECT_TRUE(form.match(log_lines().front()).hasMatch()) << log_lines().front().toStdString();
}

TEST_F(WindowTest, CriticalLinesBecomeTheCalloutText) {
    Tjoint_form& w = open(false);
    EXPECT_TRUE(w.Calloutlabel->text().isEmpty());
    w.log(QStringLiteral("first problem"), true);
    const QString critical = log_lines().back();
    EXPECT_EQ(w.Calloutlabel->text(),
              QStringLiteral("Last logged critical information: ") + critical);
    w.log(QStringLiteral("all well"), false);
    EXPECT_EQ(w.Calloutlabel->text(),
              QStringLiteral("Last logged critical information: ") + critical);
}

TEST_F(WindowTest, BannerClickBeforeAnyCriticalLineShowsNothing) {
    Tjoint_form& w = open(false);
    w.log(QStringLiteral("nothing serious"), false);
    QTest::mouseClick(w.cutlabel, Qt::LeftButton);
    EXPECT_FALSE(w.CalloutPanel1->isVisible());
}

TEST_F(WindowTest, CalloutShowsFadesInAndHidesAfterFiveSeconds) {
    Tjoint_form& w = open(false);
    w.log(QStringLiteral("File: x not deleted, might cause problems writing new file."), true);
    ASSERT_FALSE(w.CalloutPanel1->isVisible());
    QTest::mouseClick(w.cutlabel, Qt::LeftButton);
    ASSERT_TRUE(w.CalloutPanel1->isVisible());
    EXPECT_EQ(w.CalloutPanel1->geometry().width(), w.width());
    EXPECT_EQ(w.CalloutPanel1->height(), w.height() / 4);
    EXPECT_EQ(w.CalloutPanel1->parentWidget(), &w);

    // Opacity from 0.5 rising linearly to 2.0 over 5 s, drawn clamped to 1.
    const std::pair<int, double> course[] = {{0, 0.5},    {1000, 0.8}, {1500, 0.95},
                                             {1667, 1.0}, {3000, 1.0}, {4999, 1.0}};
    for (const auto& [ms, opacity] : course) {
        w.FloatAnimation1->setCurrentTime(ms);
        EXPECT_NEAR(w.CalloutPanel1->opacity(), opacity, 0.001) << ms << " ms";
        EXPECT_TRUE(w.CalloutPanel1->isVisible()) << ms << " ms";
    }
    w.FloatAnimation1->setCurrentTime(5000);
    EXPECT_FALSE(w.CalloutPanel1->isVisible());

    // It turns visible again with the next click, from the start.
    QTest::mouseClick(w.cutpanel, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_TRUE(w.CalloutPanel1->isVisible());
    EXPECT_EQ(w.FloatAnimation1->currentTime(), 0);
    EXPECT_NEAR(w.CalloutPanel1->opacity(), 0.5, 0.001);
}

TEST_F(WindowTest, SecondClickResizesButDoesNotExtendTheCallout) {
    Tjoint_form& w = open(false);
    w.log(QStringLiteral("problem"), true);
    QTest::mouseClick(w.cutlabel, Qt::LeftButton);
    w.FloatAnimation1->setCurrentTime(3000);
    w.resize(600, 800);
    QTest::mouseClick(w.cutlabel, Qt::LeftButton);
    EXPECT_EQ(w.FloatAnimation1->currentTime(), 3000);
    EXPECT_EQ(w.CalloutPanel1->size(), QSize(600, 200));
    w.FloatAnimation1->setCurrentTime(5000);
    EXPECT_FALSE(w.CalloutPanel1->isVisible());
}

TEST_F(WindowTest, CalloutEndsByItselfInRealTime) {
    Tjoint_form& w = open(false);
    w.log(QStringLiteral("problem"), true);
    QTest::mouseClick(w.cutlabel, Qt::LeftButton);
    ASSERT_TRUE(w.CalloutPanel1->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.CalloutPanel1->isVisible(); }, 8000));
}

TEST_F(WindowTest, ClicksGoThroughTheCalloutToTheControlsBelow) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    w.TabControl1->setCurrentWidget(w.TabItem3);
    w.Homequit->show();  // a manual move is running: its Stop button is there
    // A callout of 185 covers the Stop button; at this height the chart area stays below
    // the size at which the banner and the run buttons grow.
    w.resize(447, 740);
    w.log(QStringLiteral("problem"), true);
    QTest::mouseClick(w.cutlabel, Qt::LeftButton);
    ASSERT_TRUE(w.CalloutPanel1->isVisible());
    QTest::qWait(50);
    const QPoint stop = w.Homequit->mapTo(&w, w.Homequit->rect().center());
    ASSERT_TRUE(w.CalloutPanel1->geometry().contains(stop));
    QSignalSpy stops(w.Homequit, &QPushButton::clicked);
    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, stop);
    EXPECT_EQ(stops.count(), 1);
}
