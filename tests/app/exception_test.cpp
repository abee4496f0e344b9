// An exception that escapes any handler is logged as a critical line and shown in an error
// box, and the program runs on.

#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "frameUnit.h"
#include "push_button.h"
#include "window_fixture.h"

namespace {

struct Thrown {
    const char* name;
    std::function<void()> raise;
    const char* message;
};

}  // namespace

TEST_F(WindowTest, ExceptionsFromHandlersAreReportedAndTheProgramRunsOn) {
    Tjoint_form& w = open();
    const Thrown cases[] = {
        {"runtime error", [] { throw std::runtime_error("disk full"); }, "disk full"},
        {"logic error", [] { throw std::out_of_range("index 7"); }, "index 7"},
        {"not a std::exception", [] { throw 42; }, "Unknown error"},
    };
    for (const Thrown& c : cases) {
        SCOPED_TRACE(c.name);
        // A handler of a timer's tick, run by the event loop.
        QTimer::singleShot(0, &w, c.raise);
        ASSERT_TRUE(QTest::qWaitFor([] { return !dialogs().isEmpty(); }, 2000));
        ASSERT_EQ(dialogs().size(), 1);
        EXPECT_EQ(dialogs().front()->icon(), QMessageBox::Critical);
        EXPECT_EQ(dialogs().front()->text(), QString::fromLatin1(c.message));
        const QString line = QStringLiteral("Exception caught: ") + QString::fromLatin1(c.message);
        EXPECT_TRUE(log_lines().back().endsWith(QStringLiteral(" : ") + line));
        EXPECT_TRUE(w.Calloutlabel->text().endsWith(line));  // critical
        press(dialogs().front(), QMessageBox::Ok);
    }
    // Still running: timers tick and buttons work.
    bool ticked = false;
    QTimer::singleShot(0, &w, [&] { ticked = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticked; }, 2000));
}

TEST_F(WindowTest, FailedSaveFromTheButtonIsReportedThenWorksOnceCorrected) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    w.TabControl1->setCurrentWidget(w.TabItem2);
    w.st_time->setText(QStringLiteral("fast"));
    QTest::mouseClick(w.Saveset, Qt::LeftButton);
    ASSERT_EQ(dialogs().size(), 1);
    const QString message = QStringLiteral(
        "fast inside Time to reach max. frequency (sec.) is not a valid floating point number.");
    EXPECT_EQ(dialogs().front()->text(), message);
    EXPECT_TRUE(log_lines().back().endsWith(QStringLiteral(" : Exception caught: ") + message));
    press(dialogs().front(), QMessageBox::Ok);

    w.st_time->setText(QStringLiteral("0.15"));
    QTest::mouseClick(w.Saveset, Qt::LeftButton);
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(dialogs().front()->text(), QStringLiteral("Settings saved"));
    press(dialogs().front(), QMessageBox::Ok);
    EXPECT_TRUE(log_lines().back().endsWith(QStringLiteral(" : Settings saved")));
    EXPECT_EQ(ini_value(QStringLiteral("st_time")), QStringLiteral("0.15"));
}
