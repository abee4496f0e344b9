// Start-up, access states, the Enter key and the number format.

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <clocale>

#include "frameUnit.h"
#include "image_button.h"
#include "push_button.h"
#include "tab_control.h"
#include "track_bar.h"
#include "window_fixture.h"

namespace {

QStringList visible_tabs(const Tjoint_form& w) {
    QStringList tabs;
    for (int i = 0; i < w.TabControl1->count(); ++i)
        if (w.TabControl1->isTabVisible(i)) tabs << w.TabControl1->widget(i)->objectName();
    return tabs;
}

}  // namespace

TEST_F(WindowTest, FirstStartWithoutSettingsFile) {
    Tjoint_form& w = open();
    EXPECT_EQ(visible_tabs(w),
              (QStringList{QStringLiteral("TabItem2"), QStringLiteral("TabItem4")}));
    EXPECT_EQ(w.TabControl1->currentWidget(), w.TabItem4);
    EXPECT_EQ(w.TabControl1->tabText(w.TabItem4), QStringLiteral("Before you begin"));

    const std::pair<TFrame1*, const char*> defaults[] = {
        {w.saw_width, "3.2"},  {w.distance, "100"}, {w.Pin_width, "10"}, {w.cut_width, "10"},
        {w.no_cuts, "2"},      {w.start_x, "0"},    {w.minfreq, "50"},   {w.maxfreq, "10000"},
        {w.steps_rev, "5000"}, {w.mm_rev, "5"},     {w.st_time, "0.1"},
    };
    for (const auto& [field, text] : defaults)
        EXPECT_EQ(field->text(), QString::fromLatin1(text)) << field->objectName().toStdString();
    EXPECT_EQ(w.TrackBar1->value(), 0.0);
    EXPECT_FLOAT_EQ(w.thescale, 1.0f);
    EXPECT_FALSE(w.Safety_check->isChecked());
    EXPECT_TRUE(w.Safety_Panel->isVisible());
    EXPECT_TRUE(w.recalculate_wav_start && w.recalculate_wav_Pin && w.recalculate_wav_fill_cut &&
                w.recalculate_wav_home);
    // The motion settings under which the cache is judged are the loaded ones.
    EXPECT_EQ(w.old_min_freq, QStringLiteral("50"));
    EXPECT_EQ(w.old_st_time, QStringLiteral("0.1"));

    // Starting writes nothing: no settings file, no data folder.
    EXPECT_FALSE(QFileInfo::exists(ini_path()));
    EXPECT_FALSE(QFileInfo::exists(data_dir()));
}

TEST_F(WindowTest, FilesLieDirectlyInTheUsersFolders) {
    Tjoint_form& w = open(false);
    EXPECT_EQ(w.IniFileName, config_dir() + QStringLiteral("/Kerfplanner.ini"));
    EXPECT_EQ(w.Fill_cut_file_name, data_dir() + QStringLiteral("/Fillcut.wav"));
    EXPECT_EQ(w.Home_file_name, data_dir() + QStringLiteral("/Home.wav"));
    EXPECT_EQ(w.Start_file_name, data_dir() + QStringLiteral("/Start.wav"));
    EXPECT_EQ(w.Pin_file_name, data_dir() + QStringLiteral("/Pin.wav"));
    // A fresh account may lack the data folder: it is made before a file is first written.
    ASSERT_FALSE(QFileInfo::exists(data_dir()));
    w.ensure_data_folder();
    EXPECT_TRUE(QFileInfo(data_dir()).isDir());
}

TEST_F(WindowTest, StoredAcknowledgementStartsOnProgramTab) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    EXPECT_EQ(visible_tabs(w),
              (QStringList{QStringLiteral("TabItem1"), QStringLiteral("TabItem3"),
                           QStringLiteral("TabItem2"), QStringLiteral("TabItem4")}));
    EXPECT_EQ(w.TabControl1->currentWidget(), w.TabItem1);
    EXPECT_EQ(w.TabControl1->tabText(w.TabItem4), QStringLiteral("About"));
    EXPECT_TRUE(w.Safety_check->isChecked());
    // A stored acknowledgement hides the box for the whole run.
    EXPECT_FALSE(w.Safety_Panel->isVisible());
}

TEST_F(WindowTest, AcknowledgementSwitchesTheTabs) {
    Tjoint_form& w = open();
    QTest::mouseClick(w.Safety_check, Qt::LeftButton, {}, QPoint(8, w.Safety_check->height() / 2));
    ASSERT_TRUE(w.Safety_check->isChecked());
    EXPECT_EQ(visible_tabs(w).size(), 4);
    EXPECT_EQ(w.TabControl1->currentWidget(), w.TabItem1);
    EXPECT_EQ(w.TabControl1->tabText(w.TabItem4), QStringLiteral("About"));
    // A box ticked during the run stays visible and can be unticked again.
    w.TabControl1->setCurrentWidget(w.TabItem4);
    ASSERT_TRUE(w.Safety_check->isVisible());
    QTest::mouseClick(w.Safety_check, Qt::LeftButton, {}, QPoint(8, w.Safety_check->height() / 2));
    ASSERT_FALSE(w.Safety_check->isChecked());
    EXPECT_EQ(visible_tabs(w),
              (QStringList{QStringLiteral("TabItem2"), QStringLiteral("TabItem4")}));
    EXPECT_EQ(w.TabControl1->currentWidget(), w.TabItem4);
    EXPECT_EQ(w.TabControl1->tabText(w.TabItem4), QStringLiteral("Before you begin"));
    // The switch writes nothing.
    EXPECT_FALSE(QFileInfo::exists(ini_path()));
}

TEST_F(WindowTest, EnterMovesTheFocusToTheTabsTarget) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    struct Case {
        QWidget* tab;
        QWidget* start;   // where the focus is when Enter is pressed
        QWidget* target;  // where it goes; nullptr: it stays
    };
    const Case cases[] = {
        {w.TabItem1, w.saw_width->Ed, w.startstopbutton},
        {w.TabItem3, w.distance->Ed, w.homebutton},
        {w.TabItem2, w.minfreq->Ed, w.TrackBar1},
        {w.TabItem4, w.TabControl1->tabBar(), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab->objectName().toStdString());
        w.TabControl1->setCurrentWidget(c.tab);
        c.start->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(c.start->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), c.target ? c.target : c.start);
    }
    wait_for_timer_tick();
    EXPECT_TRUE(dialogs().isEmpty());  // valid fields were left: no warning

    // A run button that cannot take the focus (disabled while its move runs) is not reached.
    w.TabControl1->setCurrentWidget(w.TabItem1);
    w.startstopbutton->setEnabled(false);
    w.saw_width->Ed->setFocus();
    QTest::keyClick(w.saw_width->Ed, Qt::Key_Return);
    EXPECT_TRUE(w.saw_width->Ed->hasFocus());
}

TEST_F(WindowTest, FocusedButtonPressesItselfOnEnterAndSpace) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    // Only the key handling counts here: the presses do not start a job.
    QObject::disconnect(w.startstopbutton, &QPushButton::clicked, &w, nullptr);
    QSignalSpy clicks(w.startstopbutton, &QPushButton::clicked);
    w.saw_width->Ed->setFocus();
    QTest::keyClick(w.saw_width->Ed, Qt::Key_Return);  // first Enter: to the run button
    ASSERT_TRUE(w.startstopbutton->hasFocus());
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyClick(w.startstopbutton, Qt::Key_Return);  // second Enter presses it
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(w.startstopbutton, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks.count(), 2);
    QTest::keyClick(w.startstopbutton, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 3);
    // With a modifier held the button does not press itself.
    QTest::keyClick(w.startstopbutton, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(w.startstopbutton, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_TRUE(w.startstopbutton->hasFocus());

    // The Save button of the Settings tab behaves the same.
    QSignalSpy saves(w.Saveset, &QPushButton::clicked);
    w.TabControl1->setCurrentWidget(w.TabItem2);
    w.Saveset->setFocus();
    QTest::keyClick(w.Saveset, Qt::Key_Return);
    EXPECT_EQ(saves.count(), 1);
}

TEST_F(WindowTest, EnterInAnInvalidFieldLeavesItAndWarns) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    w.saw_width->Ed->setFocus();
    w.saw_width->Ed->setText(QStringLiteral("3,2"));
    QTest::keyClick(w.saw_width->Ed, Qt::Key_Return);
    EXPECT_TRUE(w.startstopbutton->hasFocus());
    wait_for_timer_tick();
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(
        dialogs().front()->text(),
        QStringLiteral("Saw width (mm) contains 3,2 which is not a valid floating point number."));
}

TEST_F(WindowTest, NumbersUseThePointWhateverTheLocale) {
    Tjoint_form& w = open();
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral("."));  // fixed at creation

    // A German operator's settings made after the start: "," is their decimal separator.
    const std::string c_locale = std::setlocale(LC_ALL, nullptr);
    const bool german_c = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    w.saw_width->setText(QStringLiteral("3.2"));
    EXPECT_DOUBLE_EQ(w.saw_width->float_value(), 3.2);
    w.saw_width->setText(QStringLiteral("3,2"));
    EXPECT_FALSE(w.saw_width->is_float());
    w.mm_rev->setText(QStringLiteral("1.5e3"));
    EXPECT_DOUBLE_EQ(w.mm_rev->float_value(), 1500.0);

    w.saw_width->setText(QStringLiteral("3.2"));
    w.TrackBar1->setValue(2.5);
    w.save_settings();
    EXPECT_EQ(ini_value(QStringLiteral("scale")), QStringLiteral("2.5"));
    EXPECT_EQ(ini_value(QStringLiteral("mm_rev")), QStringLiteral("1.5e3"));

    std::setlocale(LC_ALL, c_locale.c_str());
    QLocale::setDefault(QLocale::c());
    if (!german_c) GTEST_LOG_(INFO) << "de_DE.UTF-8 is not installed; checked Qt's locale only";
}

TEST_F(WindowTest, TimersAreStoppedAt100Milliseconds) {
    Tjoint_form& w = open(false);
    for (QTimer* timer : {w.filewritten, w.checktimer, w.showerror}) {
        EXPECT_EQ(timer->interval(), 100) << timer->objectName().toStdString();
        EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
    }
}
