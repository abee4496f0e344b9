#include "window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "frameUnit.h"

void WindowTest::SetUp() {
    home_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(home_->isValid());
    qputenv("HOME", home_->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", config_dir().toUtf8());
    qputenv("XDG_DATA_HOME", data_dir().toUtf8());
    ASSERT_TRUE(QDir().mkpath(config_dir()));
}

void WindowTest::TearDown() {
    close_dialogs();
    window_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Tjoint_form& WindowTest::open(bool activate) {
    window_ = std::make_unique<Tjoint_form>();
    window_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    if (activate) {
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        EXPECT_TRUE(window_->settings_read);
    }
    return *window_;
}

QString WindowTest::config_dir() const { return home_->path() + QStringLiteral("/config"); }

QString WindowTest::data_dir() const { return home_->path() + QStringLiteral("/data"); }

void WindowTest::write_ini(const QByteArray& content) const {
    QFile file(ini_path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray WindowTest::read_ini() const {
    QFile file(ini_path());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

QString WindowTest::ini_value(const QString& key) const {
    const QString text = QString::fromUtf8(read_ini());
    const QRegularExpression line(QStringLiteral("^\\s*") + QRegularExpression::escape(key) +
                                      QStringLiteral("\\s*=\\s*(.*?)\\s*$"),
                                  QRegularExpression::MultilineOption);
    const auto match = line.match(text);
    return match.hasMatch() ? match.captured(1) : QStringLiteral("<missing>");
}

QStringList WindowTest::make_cached_files() const {
    EXPECT_TRUE(QDir().mkpath(data_dir()));
    QStringList paths;
    for (const QString& name : {QStringLiteral("Fillcut.wav"), QStringLiteral("Start.wav"),
                                QStringLiteral("Home.wav"), QStringLiteral("Pin.wav")}) {
        const QString path = data_dir() + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("RIFF");
        paths << path;
    }
    return paths;
}

QList<QMessageBox*> WindowTest::dialogs() {
    QList<QMessageBox*> open;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) open << box;
    return open;
}

void WindowTest::press(QMessageBox* dialog, QMessageBox::StandardButton button) {
    QAbstractButton* target = dialog->button(button);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WindowTest::close_dialogs() {
    for (QMessageBox* box : dialogs()) box->done(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WindowTest::leave_with(TFrame1* field, const QString& text) {
    // A closed dialog hands the activation back to the window (the window manager does that
    // on a desktop); focus changes reach only an active window.
    if (!window_->isActiveWindow()) {
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    field->Ed->setFocus(Qt::MouseFocusReason);
    field->Ed->selectAll();
    QTest::keyClicks(field->Ed, text);
    if (text.isEmpty()) QTest::keyClick(field->Ed, Qt::Key_Backspace);
    ASSERT_EQ(field->Ed->text(), text);
    QTest::keyClick(field->Ed, Qt::Key_Tab);  // on to the next control, as an operator does
    ASSERT_FALSE(field->Ed->hasFocus());
}

QStringList WindowTest::log_lines() const {
    const QString text = window_->LogMemo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void WindowTest::wait_for_timer_tick() { QTest::qWait(250); }
