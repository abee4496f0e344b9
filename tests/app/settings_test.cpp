// The settings file Kerfplanner.ini and the cache of step-signal files.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>

#include "frameUnit.h"
#include "push_button.h"
#include "track_bar.h"
#include "user_error.h"
#include "window_fixture.h"

namespace {

const char* const kKeysInOrder[] = {"saw_width", "distance", "pin_width", "cut_width", "no_cuts",
                                    "start_x",   "minfreq",  "maxfreq",   "steps_rev", "mm_rev",
                                    "st_time",   "scale",    "is_checked"};

// A file holding every key with a value that differs from the defaults.
const QByteArray kFullFile =
    "[program]\nsaw_width=2.8\ndistance=25\npin_width=8\ncut_width=12\nno_cuts=4\nstart_x=7\n"
    "minfreq=60\nmaxfreq=9000\nsteps_rev=4000\nmm_rev=4\nst_time=0.2\nscale=2.5\nis_checked=1\n";

QStringList existing(const QStringList& paths) {
    QStringList found;
    for (const QString& path : paths)
        if (QFileInfo::exists(path)) found << path;
    return found;
}

void clear_flags(Tjoint_form& w) {
    w.recalculate_wav_start = w.recalculate_wav_Pin = false;
    w.recalculate_wav_fill_cut = w.recalculate_wav_home = false;
}

bool all_flags(const Tjoint_form& w) {
    return w.recalculate_wav_start && w.recalculate_wav_Pin && w.recalculate_wav_fill_cut &&
           w.recalculate_wav_home;
}

bool any_flag(const Tjoint_form& w) {
    return w.recalculate_wav_start || w.recalculate_wav_Pin || w.recalculate_wav_fill_cut ||
           w.recalculate_wav_home;
}

}  // namespace

TEST_F(WindowTest, SaveWritesAllKeysInOrderAndReadsThemBack) {
    Tjoint_form& w = open();
    w.saw_width->setText(QStringLiteral("3.20"));  // written as the field holds it
    w.distance->setText(QStringLiteral(" 12.5 "));
    w.no_cuts->setText(QStringLiteral("$A"));
    w.TrackBar1->setValue(2.5);
    w.Safety_check->setChecked(true);
    w.save_settings();

    const QString text = QString::fromUtf8(read_ini());
    qsizetype at = text.indexOf(QStringLiteral("[program]"));
    ASSERT_GE(at, 0);
    for (const char* key : kKeysInOrder) {
        const qsizetype next = text.indexOf(QString::fromLatin1(key) + QLatin1Char('='), at);
        EXPECT_GT(next, at) << key << " missing or out of order";
        at = std::max(at, next);
    }
    EXPECT_EQ(ini_value(QStringLiteral("saw_width")), QStringLiteral("3.20"));
    EXPECT_EQ(ini_value(QStringLiteral("no_cuts")), QStringLiteral("$A"));
    EXPECT_EQ(ini_value(QStringLiteral("scale")), QStringLiteral("2.5"));
    EXPECT_EQ(ini_value(QStringLiteral("is_checked")), QStringLiteral("1"));

    window_.reset();
    Tjoint_form& again = open();
    EXPECT_EQ(again.saw_width->text(), QStringLiteral("3.20"));
    EXPECT_EQ(again.distance->text(), QStringLiteral(" 12.5 "));
    EXPECT_EQ(again.no_cuts->text(), QStringLiteral("$A"));
    EXPECT_EQ(again.TrackBar1->value(), 2.5);
    EXPECT_FLOAT_EQ(again.thescale, 1.25f);
    EXPECT_TRUE(again.Safety_check->isChecked());
}

TEST_F(WindowTest, LoadingFillsEveryFieldAndTheSnapshot) {
    write_ini(kFullFile);
    Tjoint_form& w = open();
    const std::pair<TFrame1*, const char*> expected[] = {
        {w.saw_width, "2.8"},  {w.distance, "25"}, {w.Pin_width, "8"}, {w.cut_width, "12"},
        {w.no_cuts, "4"},      {w.start_x, "7"},   {w.minfreq, "60"},  {w.maxfreq, "9000"},
        {w.steps_rev, "4000"}, {w.mm_rev, "4"},    {w.st_time, "0.2"},
    };
    for (const auto& [field, text] : expected)
        EXPECT_EQ(field->text(), QString::fromLatin1(text)) << field->objectName().toStdString();
    EXPECT_EQ(w.TrackBar1->value(), 2.5);
    EXPECT_EQ(
        (QStringList{w.old_min_freq, w.old_max_freq, w.old_steps_rev, w.old_mm_rev, w.old_st_time}),
        (QStringList{QStringLiteral("60"), QStringLiteral("9000"), QStringLiteral("4000"),
                     QStringLiteral("4"), QStringLiteral("0.2")}));
}

TEST_F(WindowTest, PartialEmptyAndJunkValues) {
    struct Case {
        const char* name;
        QByteArray file;
        const char* saw_width;
        const char* minfreq;
        double scale;
        bool checked;
    };
    const Case cases[] = {
        {"only some keys", "[program]\nminfreq=75\nscale=3\n", "3.2", "75", 3.0, false},
        {"empty values", "[program]\nsaw_width=\nscale=\nis_checked=\n", "", "50", 0.0, false},
        {"junk values", "[program]\nsaw_width=abc\nscale=big\nis_checked=yes\n", "abc", "50", 0.0,
         false},
        {"scale out of range", "[program]\nscale=25\nis_checked=7\n", "3.2", "50", 10.0, true},
        {"junk lines", "garbage\n=\n[[[\n[program]\nno such line\nminfreq=70\n\x01\x02\xff\n",
         "3.2", "70", 0.0, false},
        {"other section only", "[other]\nsaw_width=9\n", "3.2", "50", 0.0, false},
        {"binary", QByteArray("\0\x01\x02\xfe\xff[program]\0minfreq=1", 30), "3.2", "50", 0.0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_ini(c.file);
        Tjoint_form& w = open();
        EXPECT_EQ(w.saw_width->text(), QString::fromLatin1(c.saw_width));
        EXPECT_EQ(w.minfreq->text(), QString::fromLatin1(c.minfreq));
        EXPECT_EQ(w.TrackBar1->value(), c.scale);
        EXPECT_EQ(w.Safety_check->isChecked(), c.checked);
        window_.reset();
    }
}

TEST_F(WindowTest, HugeSettingsFileDoesNotStopTheStart) {
    QByteArray file("[program]\nminfreq=65\n");
    file.append(QByteArray(64 * 1024 * 1024, 'x'));
    write_ini(file);
    Tjoint_form& w = open();
    // Whatever the reader made of it, the window is there and usable.
    EXPECT_FALSE(w.minfreq->text().isNull());
    w.log(QStringLiteral("still running"), false);
    EXPECT_EQ(log_lines().size(), 1);
}

TEST_F(WindowTest, SavingKeepsCommentsUnknownKeysAndOtherSections) {
    write_ini(
        "; written by hand\n[program]\n# the saw of the workshop\nsaw_width=2.8\nnote=keep me\n"
        "\n[machine]\nname=bench saw\n");
    Tjoint_form& w = open();
    w.saw_width->setText(QStringLiteral("3.0"));
    w.save_settings();
    const QString text = QString::fromUtf8(read_ini());
    for (const char* kept : {"; written by hand", "# the saw of the workshop", "note=keep me",
                             "[machine]", "name=bench saw"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(kept))) << kept << "\n" << text.toStdString();
    EXPECT_EQ(ini_value(QStringLiteral("saw_width")), QStringLiteral("3.0"));
    EXPECT_EQ(text.count(QStringLiteral("saw_width")), 1);
}

TEST_F(WindowTest, FailedCheckLeavesTheEarlierKeysWritten) {
    write_ini(kFullFile);
    Tjoint_form& w = open();
    const QStringList cached = make_cached_files();
    clear_flags(w);
    // New texts for every key; mm_rev, the tenth, is not a number.
    const std::pair<TFrame1*, const char*> edits[] = {
        {w.saw_width, "3.1"},  {w.distance, "30"}, {w.Pin_width, "9"}, {w.cut_width, "11"},
        {w.no_cuts, "3"},      {w.start_x, "1"},   {w.minfreq, "55"},  {w.maxfreq, "8000"},
        {w.steps_rev, "3000"}, {w.mm_rev, "4,5"},  {w.st_time, "0.3"},
    };
    for (const auto& [field, text] : edits) field->setText(QString::fromLatin1(text));
    w.TrackBar1->setValue(7);
    w.Safety_check->setChecked(false);

    w.TabControl1->setCurrentWidget(w.TabItem2);
    QTest::mouseClick(w.Saveset, Qt::LeftButton);

    const std::pair<const char*, const char*> file[] = {
        {"saw_width", "3.1"},  {"distance", "30"}, {"pin_width", "9"}, {"cut_width", "11"},
        {"no_cuts", "3"},      {"start_x", "1"},   {"minfreq", "55"},  {"maxfreq", "8000"},
        {"steps_rev", "3000"}, {"mm_rev", "4"},    {"st_time", "0.2"}, {"scale", "2.5"},
        {"is_checked", "1"},
    };
    for (const auto& [key, value] : file)
        EXPECT_EQ(ini_value(QString::fromLatin1(key)), QString::fromLatin1(value)) << key;

    // The error is reported, "Settings saved" is not; the cache is as it was.
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(dialogs().front()->icon(), QMessageBox::Critical);
    EXPECT_EQ(dialogs().front()->text(),
              QStringLiteral("4,5 inside Spindle advancement (mm/ rev.) is not a valid floating "
                             "point number."));
    EXPECT_TRUE(log_lines().back().endsWith(
        QStringLiteral(" : Exception caught: 4,5 inside Spindle advancement (mm/ rev.) is not a "
                       "valid floating point number.")));
    EXPECT_EQ(existing(cached), cached);
    EXPECT_FALSE(any_flag(w));
    EXPECT_EQ(w.old_min_freq, QStringLiteral("60"));
}

TEST_F(WindowTest, FailedFirstKeyWritesNothing) {
    struct Case {
        const char* name;
        bool file_before;
    };
    for (const Case& c : {Case{"with a file", true}, Case{"without a file", false}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(ini_path());
        if (c.file_before) write_ini(kFullFile);
        Tjoint_form& w = open();
        w.saw_width->setText(QStringLiteral("wide"));
        EXPECT_THROW(w.save_settings(), kerf::UserError);
        if (c.file_before)
            EXPECT_EQ(read_ini(), kFullFile);
        else
            EXPECT_FALSE(QFileInfo::exists(ini_path()));
        window_.reset();
    }
}

TEST_F(WindowTest, MotionSettingWrittenDifferentlyInvalidatesTheCache) {
    Tjoint_form& w = open();
    const QStringList cached = make_cached_files();
    clear_flags(w);
    w.minfreq->setText(QStringLiteral("050"));  // the same number, another text
    w.save_settings();
    EXPECT_TRUE(existing(cached).isEmpty());
    EXPECT_TRUE(all_flags(w));
    EXPECT_EQ(w.old_min_freq, QStringLiteral("050"));

    // Saving again with nothing changed deletes nothing and leaves the flags alone.
    const QStringList rebuilt = make_cached_files();
    clear_flags(w);
    w.save_settings();
    EXPECT_EQ(existing(rebuilt), rebuilt);
    EXPECT_FALSE(any_flag(w));
}

TEST_F(WindowTest, EachMotionSettingCountsAndOthersDoNot) {
    Tjoint_form& w = open();
    enum Outcome { Invalidates, Keeps, Fails };
    struct Case {
        TFrame1* field;
        const char* text;
        Outcome outcome;
    };
    const Case cases[] = {
        {w.minfreq, "51", Invalidates},
        {w.maxfreq, "9999", Invalidates},
        {w.steps_rev, " 5000", Invalidates},
        {w.mm_rev, "5.0", Invalidates},
        {w.st_time, "0.10", Invalidates},
        {w.maxfreq, "10000.", Fails},
        {w.saw_width, "3", Keeps},
        {w.distance, "50", Keeps},
        {w.Pin_width, "12", Keeps},
        {w.cut_width, "8", Keeps},
        {w.no_cuts, "5", Keeps},
        {w.start_x, "2", Keeps},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field->objectName().toStdString() + " \"" + c.text + "\"");
        const QString before = c.field->text();
        const QStringList cached = make_cached_files();
        clear_flags(w);
        c.field->setText(QString::fromLatin1(c.text));
        if (c.outcome == Fails) {
            EXPECT_THROW(w.save_settings(), kerf::UserError);
            c.field->setText(before);
        } else {
            w.save_settings();
        }
        EXPECT_EQ(existing(cached).isEmpty(), c.outcome == Invalidates);
        EXPECT_EQ(existing(cached) == cached, c.outcome != Invalidates);
        EXPECT_EQ(all_flags(w), c.outcome == Invalidates);
        EXPECT_EQ(any_flag(w), c.outcome == Invalidates);
    }
}

TEST_F(WindowTest, CachedFileThatStaysIsReportedAndTheRestGoes) {
    Tjoint_form& w = open();
    QStringList cached = make_cached_files();
    // A folder under the name of the Fillcut file cannot be deleted as a file.
    ASSERT_TRUE(QFile::remove(cached.front()));
    ASSERT_TRUE(QDir().mkpath(cached.front() + QStringLiteral("/inside")));
    clear_flags(w);
    w.maxfreq->setText(QStringLiteral("9000"));
    w.save_settings();

    EXPECT_EQ(existing(cached), QStringList{cached.front()});
    EXPECT_TRUE(all_flags(w));
    ASSERT_FALSE(log_lines().isEmpty());
    const QString line = QStringLiteral("File: ") + w.Fill_cut_file_name +
                         QStringLiteral(" not deleted, might cause problems writing new file.");
    EXPECT_TRUE(log_lines().back().endsWith(QStringLiteral(" : ") + line));
    EXPECT_TRUE(w.Calloutlabel->text().endsWith(line));  // a critical line
}

TEST_F(WindowTest, SaveButtonConfirmsAndLogsOnOk) {
    write_ini("[program]\nis_checked=1\n");
    Tjoint_form& w = open();
    w.TabControl1->setCurrentWidget(w.TabItem2);
    QTest::mouseClick(w.Saveset, Qt::LeftButton);
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(dialogs().front()->text(), QStringLiteral("Settings saved"));
    EXPECT_EQ(dialogs().front()->icon(), QMessageBox::Information);
    EXPECT_TRUE(log_lines().isEmpty());  // logged when the dialog closes with OK
    press(dialogs().front(), QMessageBox::Ok);
    ASSERT_EQ(log_lines().size(), 1);
    EXPECT_TRUE(log_lines().front().endsWith(QStringLiteral(" : Settings saved")));
    EXPECT_TRUE(w.Calloutlabel->text().isEmpty());  // not critical
    EXPECT_EQ(ini_value(QStringLiteral("is_checked")), QStringLiteral("1"));
}

TEST_F(WindowTest, UnwritableSettingsFileIsReported) {
    // The configuration folder is a file: nothing can be written below it.
    QFile blocker(config_dir() + QStringLiteral("/blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", blocker.fileName().toUtf8());
    Tjoint_form& w = open();
    w.TabControl1->setCurrentWidget(w.TabItem2);
    QTest::mouseClick(w.Saveset, Qt::LeftButton);
    ASSERT_EQ(dialogs().size(), 1);
    EXPECT_EQ(dialogs().front()->icon(), QMessageBox::Critical);
    EXPECT_TRUE(dialogs().front()->text().contains(QStringLiteral("Kerfplanner.ini")))
        << dialogs().front()->text().toStdString();
    ASSERT_FALSE(log_lines().isEmpty());
    EXPECT_TRUE(log_lines().back().contains(QStringLiteral(" : Exception caught: ")));
}

TEST_F(WindowTest, LaterActivationsKeepUnsavedEdits) {
    write_ini(kFullFile);
    Tjoint_form& w = open();
    w.saw_width->setText(QStringLiteral("4.4"));
    w.FormActivate();
    EXPECT_EQ(w.saw_width->text(), QStringLiteral("4.4"));
}
