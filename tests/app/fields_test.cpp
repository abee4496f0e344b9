// The entry fields: the number grammars, the messages of the checks, and the warning of an
// exit check, shown once from the timer's tick.

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <limits>

#include "frameUnit.h"
#include "user_error.h"
#include "window_fixture.h"

namespace {

struct DecimalCase {
    const char* text;
    bool valid;
    double value;
};

// Optional spaces, sign, digits with at most one ".", exponent; nothing else.
const DecimalCase kDecimals[] = {
    {"3.2", true, 3.2},  {" 3.2 ", true, 3.2},    {"+1.5", true, 1.5}, {"-0.25", true, -0.25},
    {"1e3", true, 1000}, {"2.5E-2", true, 0.025}, {".5", true, 0.5},   {"5.", true, 5},
    {"0", true, 0},      {"-3", true, -3},        {"3,2", false, 0},   {"1,000.5", false, 0},
    {"", false, 0},      {" ", false, 0},         {"1.2.3", false, 0}, {".", false, 0},
    {"e3", false, 0},    {"1e", false, 0},        {"inf", false, 0},   {"nan", false, 0},
    {"0x1p3", false, 0}, {"1e400", false, 0},     {"3.2mm", false, 0}, {"--1", false, 0},
    {"1 000", false, 0},
};

struct WholeCase {
    const char* text;
    bool valid;
    std::int32_t value;
};

// Leading spaces, sign, digits, 32-bit range; hexadecimal after "$", "x", "X", "0x", "0X".
const WholeCase kWholes[] = {
    {"5000", true, 5000},
    {" 5000", true, 5000},
    {"5000 ", false, 0},
    {"-3", true, -3},
    {"+7", true, 7},
    {"0", true, 0},
    {"$10", true, 16},
    {"0x10", true, 16},
    {"0X1f", true, 31},
    {"x10", true, 16},
    {"X10", true, 16},
    {"2147483647", true, 2147483647},
    {"-2147483648", true, std::numeric_limits<std::int32_t>::min()},
    {"2147483648", false, 0},
    {"-2147483649", false, 0},
    {"50.5", false, 0},
    {"1e3", false, 0},
    {"", false, 0},
    {"two", false, 0},
    {"$", false, 0},
    {"0x", false, 0},
    {"$g", false, 0},
};

}  // namespace

TEST_F(WindowTest, DecimalGrammar) {
    Tjoint_form& w = open(false);
    for (const DecimalCase& c : kDecimals) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        w.mm_rev->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(w.mm_rev->is_float(), c.valid);
        if (c.valid) {
            EXPECT_DOUBLE_EQ(w.mm_rev->float_value(), c.value);
            EXPECT_NO_THROW(w.mm_rev->validate_float());
        } else {
            EXPECT_THROW(w.mm_rev->validate_float(), kerf::UserError);
        }
    }
}

TEST_F(WindowTest, WholeNumberGrammar) {
    Tjoint_form& w = open(false);
    for (const WholeCase& c : kWholes) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        w.steps_rev->setText(QString::fromLatin1(c.text));
        EXPECT_EQ(w.steps_rev->is_integer(), c.valid);
        if (c.valid) {
            EXPECT_EQ(w.steps_rev->integer_value(), c.value);
            EXPECT_NO_THROW(w.steps_rev->validate_integer());
        } else {
            EXPECT_THROW(w.steps_rev->validate_integer(), kerf::UserError);
        }
    }
}

TEST_F(WindowTest, CheckMessagesNameTheTextAndTheField) {
    Tjoint_form& w = open(false);
    struct Case {
        TFrame1* field;
        const char* text;
        bool whole;
        const char* message;
    };
    const Case cases[] = {
        {w.saw_width, "3,2", false,
         "3,2 inside Saw width (mm) is not a valid floating point number."},
        {w.no_cuts, "two", true, "two inside Number of cuts is not a valid round number."},
        {w.steps_rev, "", true,
         " inside Step motor driver dipswitch setting (steps/rev.) is not a valid round number."},
    };
    for (const Case& c : cases) {
        c.field->setText(QString::fromLatin1(c.text));
        try {
            if (c.whole)
                c.field->validate_integer();
            else
                c.field->validate_float();
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const kerf::UserError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST_F(WindowTest, LeavingAFieldChecksItsKind) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    struct Case {
        QWidget* tab;
        TFrame1* field;
        const char* text;
        const char* warning;  // nullptr: none
    };
    const Case cases[] = {
        {w.TabItem1, w.saw_width, "3,2",
         "Saw width (mm) contains 3,2 which is not a valid floating point number."},
        {w.TabItem1, w.saw_width, " 3.2 ", nullptr},
        {w.TabItem1, w.no_cuts, "-3", nullptr},
        {w.TabItem1, w.no_cuts, "0", nullptr},
        {w.TabItem1, w.no_cuts, "2.5",
         "Number of cuts contains 2.5 which is not a valid round number."},
        {w.TabItem1, w.start_x, "",
         "Start position (mm) contains  which is not a valid floating point number."},
        {w.TabItem3, w.distance, "1e3", nullptr},
        {w.TabItem2, w.minfreq, "50.5",
         "Minimum frequency (steps/sec.) contains 50.5 which is not a valid round number."},
        {w.TabItem2, w.steps_rev, "$10", nullptr},
        {w.TabItem2, w.maxfreq, "2147483648",
         "Maximum frequency (steps/sec.) contains 2147483648 which is not a valid round number."},
        {w.TabItem2, w.st_time, "0.1s",
         "Time to reach max. frequency (sec.) contains 0.1s which is not a valid floating point "
         "number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field->objectName().toStdString() + " \"" + c.text + "\"");
        w.TabControl1->setCurrentWidget(c.tab);
        leave_with(c.field, QString::fromLatin1(c.text));
        // The exit handler only arms the timer: no dialog yet.
        EXPECT_TRUE(dialogs().isEmpty());
        EXPECT_EQ(w.showerror->isActive(), c.warning != nullptr);
        wait_for_timer_tick();
        if (c.warning) {
            ASSERT_EQ(dialogs().size(), 1);
            EXPECT_EQ(dialogs().front()->text(), QString::fromLatin1(c.warning));
            EXPECT_EQ(dialogs().front()->icon(), QMessageBox::Warning);
            press(dialogs().front(), QMessageBox::Ok);
        }
        EXPECT_TRUE(dialogs().isEmpty());
        EXPECT_FALSE(w.showerror->isActive());
        EXPECT_EQ(c.field->text(), QString::fromLatin1(c.text));  // the text stays
    }
    EXPECT_TRUE(log_lines().isEmpty());  // warnings are not logged
}

TEST_F(WindowTest, TwoFailedChecksBeforeTheTickGiveOneWarning) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    leave_with(w.saw_width, QStringLiteral("abc"));
    leave_with(w.Pin_width, QStringLiteral("1,5"));
    EXPECT_TRUE(dialogs().isEmpty());
    wait_for_timer_tick();
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(
        dialogs().front()->text(),
        QStringLiteral("Pin width (mm) contains 1,5 which is not a valid floating point number."));
    // The dialog takes the focus from the window; that is not leaving a field again.
    wait_for_timer_tick();
    EXPECT_EQ(dialogs().size(), 1);
    press(dialogs().front(), QMessageBox::Ok);
    wait_for_timer_tick();
    EXPECT_TRUE(dialogs().isEmpty());
}
