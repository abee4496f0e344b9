#pragma once
// A window in a fresh temporary home: HOME, XDG_CONFIG_HOME and XDG_DATA_HOME point into a
// new folder before the window is made, so the window reads and writes only there.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "TabbedTemplate.h"
#include "frameUnit.h"
#include "tab_control.h"

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Makes and shows the window; with activate, the first activation loads the settings.
    Tjoint_form& open(bool activate = true);
    Tjoint_form& window() { return *window_; }

    QString config_dir() const;  // exists
    QString data_dir() const;    // does not exist until written
    QString ini_path() const { return config_dir() + QStringLiteral("/Kerfplanner.ini"); }
    void write_ini(const QByteArray& content) const;
    QByteArray read_ini() const;
    // The value of key in section "program" as the file holds it; "<missing>" when absent.
    QString ini_value(const QString& key) const;

    // The four cached files, made with some content in the data folder.
    QStringList make_cached_files() const;

    // The open message dialogs, newest last.
    static QList<QMessageBox*> dialogs();
    // Presses a button of the dialog as the operator does.
    static void press(QMessageBox* dialog, QMessageBox::StandardButton button);
    static void close_dialogs();

    // Types text into the field's edit box (its tab must be in front) and leaves it with Tab.
    void leave_with(TFrame1* field, const QString& text);
    // The log lines.
    QStringList log_lines() const;
    // Waits for the showerror timer to have ticked.
    static void wait_for_timer_tick();

    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<Tjoint_form> window_;
};
