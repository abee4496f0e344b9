// Creation of the window, its access states, the Enter key, activation and the report of
// exceptions that escape a handler.

#include "TabbedTemplate.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QVariantAnimation>
#include <clocale>

#include "application.h"
#include "callout_panel.h"
#include "file_paths.h"
#include "frameUnit.h"
#include "image_button.h"
#include "image_view.h"
#include "ini_store.h"
#include "message_dialog.h"
#include "progress_chart.h"
#include "push_button.h"
#include "tab_control.h"
#include "track_bar.h"

namespace {

constexpr int kClientWidth = 447;
constexpr int kClientHeight = 622;

QString from_utf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

Tjoint_form::Tjoint_form(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("joint_form"));
    setWindowTitle(QStringLiteral("Kerfplanner"));
    setWindowIcon(QIcon(QStringLiteral(":/images/kerfplanner.svg")));
    create_controls();
    connect_handlers();
    FormCreate();

    resize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desk = screen->availableGeometry();
        move(desk.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
    CalloutPanel1->raise();
}

Tjoint_form::~Tjoint_form() {
    if (auto* app = kerf::Application::instance()) app->setExceptionHandler({});
}

void Tjoint_form::connect_handlers() {
    connect(Safety_check, &QCheckBox::toggled, this, [this] { Safety_checkChange(); });

    for (QObject* banner : {static_cast<QObject*>(HeaderToolBar), static_cast<QObject*>(cutpanel),
                            static_cast<QObject*>(cutlabel)})
        banner->installEventFilter(this);
    connect(CalloutPanel1, &kerf::CalloutPanel::finished, this,
            [this] { FloatAnimation1Finish(); });

    for (TFrame1* field : {saw_width, start_x, Pin_width, cut_width, distance, st_time, mm_rev})
        connect(field->Ed, &kerf::EntryEdit::exited, this,
                [this, ed = field->Ed] { check_if_float(ed); });
    for (TFrame1* field : {minfreq, steps_rev})
        connect(field->Ed, &kerf::EntryEdit::exited, this,
                [this, ed = field->Ed] { check_if_integer(ed); });
    connect(no_cuts->Ed, &kerf::EntryEdit::exited, this, [this] { no_cutsEdExit(no_cuts->Ed); });
    connect(maxfreq->Ed, &kerf::EntryEdit::exited, this, [this] { maxfreqEdExit(maxfreq->Ed); });

    connect(showerror, &QTimer::timeout, this, [this] { showerrorTimer(); });
    connect(filewritten, &QTimer::timeout, this, [this] { filewrittenTimer(); });
    connect(checktimer, &QTimer::timeout, this, [this] { checktimerTimer(); });

    connect(Saveset, &QPushButton::clicked, this, [this] { SavesetClick(); });
    connect(startstopbutton, &QPushButton::clicked, this, [this] { startstopbuttonClick(); });
    connect(homebutton, &QPushButton::clicked, this, [this] { homebuttonClick(); });
    connect(jobquit, &QPushButton::clicked, this, [this] { jobquitClick(); });
    connect(Homequit, &QPushButton::clicked, this, [this] { jobquitClick(); });
    for (QObject* run : {static_cast<QObject*>(startstopbutton), static_cast<QObject*>(homebutton)})
        run->installEventFilter(this);

    connect(TrackBar1, &kerf::TrackBar::tracking, this, [this] { TrackBar1Tracking(); });
    connect(TabControl1, &QTabWidget::currentChanged, this, [this] { TabControl1Change(); });
    connect(TabControl1, &kerf::TabControl::resized, this, [this] { TabControl1Resize(); });
}

void Tjoint_form::FormCreate() {
    set_number_format();
    settings_read = false;
    recalculate_wav_start = true;
    recalculate_wav_Pin = true;
    recalculate_wav_fill_cut = true;
    recalculate_wav_home = true;
    old_home_dist.clear();
    old_start_x.clear();
    old_pin = 0;
    old_fill_cut = 0;
    thescale = 1.0f;
    homing = false;

    const kerf::FilePaths paths = kerf::file_paths(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString());
    DataFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    Fill_cut_file_name = from_utf8(paths.fill_cut);
    Home_file_name = from_utf8(paths.home);
    Start_file_name = from_utf8(paths.start);
    Pin_file_name = from_utf8(paths.pin);
    IniFileName = from_utf8(paths.ini);

    bool is_checked = false;
    {
        const kerf::IniStore store(IniFileName.toStdString());
        is_checked = store.boolean("is_checked").value_or(false);
    }
    if (is_checked) {
        TabControl1->setCurrentWidget(TabItem1);
    } else {
        TabControl1->setTabVisible(TabItem1, false);
        TabControl1->setTabVisible(TabItem3, false);
        TabControl1->setCurrentWidget(TabItem4);
        TabControl1->setTabText(TabItem4, QStringLiteral("Before you begin"));
    }

    initlog();

    workpiece_Image->setMinimumHeight(0);
    ProgressChart->setMinimumHeight(0);
    Panel2->setFixedHeight(150);
    Panel3->setFixedHeight(150);

    jobquit->hide();
    Homequit->hide();
    workpiece_Image->show();
    ProgressChart->hide();

    if (auto* app = kerf::Application::instance())
        app->setExceptionHandler([this](const std::exception& error) { report_exception(error); });

    Calloutlabel->clear();
}

void Tjoint_form::set_number_format() {
    // Every number is read with "." whatever the operator's regional settings: the entry
    // fields and the settings file through the program's own parser, and anything of the
    // C library or of Qt that reads or prints numbers through these defaults. Day and
    // month names of the log come from the system locale, which stays as it is.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
}

bool Tjoint_form::is_acknowledged() const { return Safety_check->isChecked(); }

void Tjoint_form::Safety_checkChange() {
    if (Safety_check->isChecked()) {
        TabControl1->setTabVisible(TabItem1, true);
        TabControl1->setTabVisible(TabItem3, true);
        TabControl1->setTabText(TabItem4, QStringLiteral("About"));
        TabControl1->setCurrentWidget(TabItem1);
    } else {
        TabControl1->setTabVisible(TabItem1, false);
        TabControl1->setTabVisible(TabItem3, false);
        TabControl1->setCurrentWidget(TabItem4);
        TabControl1->setTabText(TabItem4, QStringLiteral("Before you begin"));
    }
}

void Tjoint_form::FormKeyDown(QKeyEvent* event) {
    // Reached only by keys that the focused control left unconsumed; the key stays
    // unconsumed here too.
    event->ignore();
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return;
    QWidget* target = nullptr;
    QWidget* tab = TabControl1->currentWidget();
    if (tab == TabItem1) target = startstopbutton;
    if (tab == TabItem3) target = homebutton;
    if (tab == TabItem2) target = TrackBar1;
    if (target && target->isVisible() && target->isEnabled())
        target->setFocus(Qt::OtherFocusReason);
}

void Tjoint_form::FormActivate() {
    if (settings_read) return;
    settings_read = true;
    const kerf::IniStore store(IniFileName.toStdString());
    read_settings(store);
}

void Tjoint_form::report_exception(const std::exception& error) {
    const QString message = QString::fromUtf8(error.what());
    log(QStringLiteral("Exception caught: ") + message, true);
    kerf::show_message(this, QMessageBox::Critical, message, QMessageBox::Ok);
}

bool Tjoint_form::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QWidget::event(event);
}

void Tjoint_form::keyPressEvent(QKeyEvent* event) { FormKeyDown(event); }

void Tjoint_form::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void Tjoint_form::closeEvent(QCloseEvent* event) {
    bool can_close = true;
    FormCloseQuery(can_close);
    if (can_close)
        event->accept();
    else
        event->ignore();
}

bool Tjoint_form::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == HeaderToolBar || watched == cutpanel || watched == cutlabel) &&
        event->type() == QEvent::MouseButtonRelease) {
        cutlabelClick();
        return true;
    }
    if (watched == startstopbutton || watched == homebutton) {
        if (event->type() == QEvent::FocusIn) startstopbuttonEnter(static_cast<QWidget*>(watched));
        if (event->type() == QEvent::FocusOut) startstopbuttonExit(static_cast<QWidget*>(watched));
    }
    return QWidget::eventFilter(watched, event);
}
