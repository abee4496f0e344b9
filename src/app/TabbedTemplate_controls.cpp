// The control tree of the window: names, texts, defaults and pictures.

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include "TabbedTemplate.h"
#include "callout_panel.h"
#include "frameUnit.h"
#include "image_button.h"
#include "image_list.h"
#include "image_view.h"
#include "kerf_resources.h"
#include "progress_chart.h"
#include "push_button.h"
#include "tab_control.h"
#include "track_bar.h"

namespace {

constexpr int kBannerHeight = 46;
constexpr int kContentMargin = 4;  // keeps texts and frames off the edge of the tab
constexpr int kRunPanelHeight = 150;
constexpr int kRunButtonWidth = 200;
constexpr int kButtonMargin = 5;
constexpr int kRunCaptionSize = 24;
constexpr int kStopCaptionSize = 20;

template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QFrame* panel(const char* name, QWidget* parent) { return named(new QFrame(parent), name); }

QVBoxLayout* column(QWidget* widget, int margin = 0) {
    auto* layout = new QVBoxLayout(widget);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(0);
    return layout;
}

// A tab page whose content lies in a vertical scroll box filling it.
QWidget* scroll_content(QWidget* page, QScrollArea*& box, const char* box_name) {
    auto* page_layout = column(page);
    box = named(new QScrollArea(page), box_name);
    box->setWidgetResizable(true);
    box->setFrameShape(QFrame::NoFrame);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setFocusPolicy(Qt::NoFocus);
    page_layout->addWidget(box);
    auto* content = new QWidget;
    content->setObjectName(QString::fromLatin1(box_name) + QStringLiteral("Content"));
    box->setWidget(content);
    return content;
}

// The panel that holds a run button on the left and its Stop button filling the rest.
QFrame* run_panel(const char* name, QWidget* parent, kerf::ImageButton*& run, const char* run_name,
                  kerf::ImageButton*& stop, const char* stop_name) {
    QFrame* frame = panel(name, parent);
    frame->setFixedHeight(kRunPanelHeight);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(kButtonMargin, kButtonMargin, kButtonMargin, kButtonMargin);
    layout->setSpacing(2 * kButtonMargin);
    run = named(
        new kerf::ImageButton(QStringLiteral("Start"), kerf::kImageStart, kRunCaptionSize, frame),
        run_name);
    run->setFixedWidth(kRunButtonWidth);
    stop = named(
        new kerf::ImageButton(QStringLiteral("Stop"), kerf::kImageStop, kStopCaptionSize, frame),
        stop_name);
    stop->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(run);
    layout->addWidget(stop, 1);
    layout->addStretch(0);
    return frame;
}

QLabel* about_label(const char* name, const QString& text, QWidget* parent) {
    auto* label = named(new QLabel(text, parent), name);
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(0, 5, 0, 5);
    // One line each that never widens the tab: a magnified text too wide for the panel gets
    // a smaller font instead (arrange_layout).
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

}  // namespace

void Tjoint_form::create_controls() {
    auto* window_layout = column(this);
    Layout1 = named(new QWidget(this), "Layout1");
    window_layout->addWidget(Layout1);
    auto* layout = column(Layout1);

    // The status banner.
    HeaderToolBar = named(new QWidget(Layout1), "HeaderToolBar");
    HeaderToolBar->setFixedHeight(kBannerHeight);
    auto* bar_layout = column(HeaderToolBar);
    cutpanel = panel("cutpanel", HeaderToolBar);
    cutpanel->setAutoFillBackground(true);
    bar_layout->addWidget(cutpanel);
    auto* banner_layout = column(cutpanel);
    cutlabel = named(new QLabel(QStringLiteral("Kerfplanner"), cutpanel), "cutlabel");
    cutlabel->setAlignment(Qt::AlignCenter);
    cutlabel->setWordWrap(false);
    cutlabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QFont banner_font = cutlabel->font();
    banner_font.setPixelSize(24);
    cutlabel->setFont(banner_font);
    banner_layout->addWidget(cutlabel);
    layout->addWidget(HeaderToolBar);
    set_banner(QStringLiteral("Kerfplanner"), kerf::kBannerIdle);

    TabControl1 = named(new kerf::TabControl(Layout1), "TabControl1");
    TabControl1->bar()->setIconSize(QSize(24, 24));
    layout->addWidget(TabControl1, 1);

    TabItem1 = named(new QWidget, "TabItem1");
    TabItem3 = named(new QWidget, "TabItem3");
    TabItem2 = named(new QWidget, "TabItem2");
    TabItem4 = named(new QWidget, "TabItem4");
    TabControl1->addTab(TabItem1, kerf::image_icon(kerf::kImageContinue),
                        QStringLiteral("Program"));
    TabControl1->addTab(TabItem3, kerf::image_icon(kerf::kImageHome), QStringLiteral("Move"));
    TabControl1->addTab(TabItem2, QStringLiteral("Settings"));
    TabControl1->addTab(TabItem4, QStringLiteral("About"));
    TabControl1->setCurrentWidget(TabItem1);

    create_program_tab();
    create_move_tab();
    create_settings_tab();
    create_about_tab();
    create_callout();
    create_timers();
}

void Tjoint_form::create_program_tab() {
    QWidget* content = scroll_content(TabItem1, VertScrollBox1, "VertScrollBox1");
    auto* layout = column(content, kContentMargin);
    saw_width = new TFrame1(QStringLiteral("saw_width"), QStringLiteral("Saw width (mm)"),
                            QStringLiteral("3.2"), content);
    start_x = new TFrame1(QStringLiteral("start_x"), QStringLiteral("Start position (mm)"),
                          QStringLiteral("0"), content);
    no_cuts = new TFrame1(QStringLiteral("no_cuts"), QStringLiteral("Number of cuts"),
                          QStringLiteral("2"), content);
    Pin_width = new TFrame1(QStringLiteral("Pin_width"), QStringLiteral("Pin width (mm)"),
                            QStringLiteral("10"), content);
    cut_width = new TFrame1(QStringLiteral("cut_width"), QStringLiteral("Cut width (mm)"),
                            QStringLiteral("10"), content);
    for (TFrame1* row : {saw_width, start_x, no_cuts, Pin_width, cut_width}) layout->addWidget(row);

    Panel5 = panel("Panel5", content);
    auto* run_area = column(Panel5);
    Panel2 = run_panel("Panel2", Panel5, startstopbutton, "startstopbutton", jobquit, "jobquit");
    startstopbutton->setHint(QStringLiteral("Press to start movement to Start position"));
    run_area->addWidget(Panel2);
    ProgressBar1 = named(new QProgressBar(Panel5), "ProgressBar1");
    ProgressBar1->setFixedHeight(15);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    run_area->addWidget(ProgressBar1);
    ProgressChart = named(new kerf::ProgressChart(Panel5), "ProgressChart");
    run_area->addWidget(ProgressChart, 1);
    workpiece_Image = named(new kerf::ImageView(QStringLiteral(":/images/workpiece.svg"), Panel5),
                            "workpiece_Image");
    run_area->addWidget(workpiece_Image, 1);
    // The chart area takes the height the run area leaves and asks for none of its own: a
    // tab too low for it must show it small (and turn compact), not scroll.
    for (QWidget* area :
         {static_cast<QWidget*>(ProgressChart), static_cast<QWidget*>(workpiece_Image)})
        area->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    layout->addWidget(Panel5, 1);

    Panel1 = panel("Panel1", content);
    Panel1->hide();
    layout->addWidget(Panel1, 1);
}

void Tjoint_form::create_move_tab() {
    QWidget* content = scroll_content(TabItem3, VertScrollBox3, "VertScrollBox3");
    auto* layout = column(content, kContentMargin);
    layout->addSpacing(5);
    distance = new TFrame1(QStringLiteral("distance"), QStringLiteral("Distance to move (mm)"),
                           QStringLiteral("100"), content);
    layout->addWidget(distance);
    Panel3 = run_panel("Panel3", content, homebutton, "homebutton", Homequit, "Homequit");
    homebutton->setHint(QStringLiteral("Use direction switch to switch direction"));
    layout->addWidget(Panel3);
    ProgressBar2 = named(new QProgressBar(content), "ProgressBar2");
    ProgressBar2->setFixedHeight(20);
    ProgressBar2->setTextVisible(false);
    ProgressBar2->setValue(0);
    layout->addWidget(ProgressBar2);
    LogMemo = named(new QPlainTextEdit(content), "LogMemo");
    LogMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    LogMemo->setMinimumHeight(120);
    layout->addWidget(LogMemo, 1);
}

void Tjoint_form::create_settings_tab() {
    QWidget* content = scroll_content(TabItem2, VertScrollBox2, "VertScrollBox2");
    auto* layout = column(content, kContentMargin);
    minfreq =
        new TFrame1(QStringLiteral("minfreq"), QStringLiteral("Minimum frequency (steps/sec.)"),
                    QStringLiteral("50"), content);
    st_time = new TFrame1(QStringLiteral("st_time"),
                          QStringLiteral("Time to reach max. frequency (sec.)"),
                          QStringLiteral("0.1"), content);
    steps_rev = new TFrame1(QStringLiteral("steps_rev"),
                            QStringLiteral("Step motor driver dipswitch setting (steps/rev.)"),
                            QStringLiteral("5000"), content);
    mm_rev = new TFrame1(QStringLiteral("mm_rev"), QStringLiteral("Spindle advancement (mm/ rev.)"),
                         QStringLiteral("5"), content);
    maxfreq =
        new TFrame1(QStringLiteral("maxfreq"), QStringLiteral("Maximum frequency (steps/sec.)"),
                    QStringLiteral("10000"), content);
    for (TFrame1* row : {minfreq, st_time, steps_rev, mm_rev, maxfreq}) layout->addWidget(row);

    GroupBox2 = named(new QGroupBox(QStringLiteral("Viewing Scale"), content), "GroupBox2");
    GroupBox2->setMinimumHeight(50);
    auto* group_layout = new QVBoxLayout(GroupBox2);
    group_layout->setContentsMargins(10, 4, 10, 4);
    TrackBar1 = named(new kerf::TrackBar(GroupBox2), "TrackBar1");
    TrackBar1->setFixedHeight(24);
    TrackBar1->setValue(1.0);
    group_layout->addWidget(TrackBar1);
    layout->addWidget(GroupBox2);

    Panel4 = panel("Panel4", content);
    Panel4->setFixedHeight(50);
    auto* save_layout = new QHBoxLayout(Panel4);
    save_layout->setContentsMargins(0, 5, 0, 5);
    Saveset = named(new kerf::PushButton(QStringLiteral("Save settings"), Panel4), "Saveset");
    Saveset->setFixedSize(160, 40);
    Saveset->setStyleSheet(
        QStringLiteral("QPushButton:focus { color: blue; } QPushButton:pressed { color: red; }"));
    save_layout->addStretch(1);
    save_layout->addWidget(Saveset);
    save_layout->addStretch(1);
    layout->addWidget(Panel4);
    layout->addStretch(1);
}

void Tjoint_form::create_about_tab() {
    QWidget* content = scroll_content(TabItem4, VertScrollBox4, "VertScrollBox4");
    auto* layout = column(content, kContentMargin);

    Panel9 = panel("Panel9", content);
    Panel9->setFixedHeight(150);
    auto* head = new QHBoxLayout(Panel9);
    head->setContentsMargins(8, 12, 0, 0);
    head->setSpacing(8);
    ImageControl2 =
        named(new kerf::ImageView(QStringLiteral(":/images/logo.svg"), Panel9), "ImageControl2");
    ImageControl2->setFixedSize(100, 100);
    head->addWidget(ImageControl2, 0, Qt::AlignTop);
    Panel10 = panel("Panel10", Panel9);
    Panel10->setAutoFillBackground(true);
    QPalette grey = Panel10->palette();
    grey.setColor(QPalette::Window, QColor(0xF3, 0xF3, 0xF3));
    Panel10->setPalette(grey);
    auto* about = column(Panel10);
    Label11 = about_label("Label11", QStringLiteral("Kerfplanner"), Panel10);
    QFont title = Label11->font();
    title.setPixelSize(20);
    Label11->setFont(title);
    Label12 = about_label("Label12", QStringLiteral("Made for the home workshop"), Panel10);
    Label13 = about_label("Label13", QStringLiteral("Help and notes: see README.md"), Panel10);
    Version = about_label("Version", QStringLiteral("Version 5.0 2024"), Panel10);
    for (QLabel* label : {Label11, Label12, Label13, Version}) about->addWidget(label);
    about->addStretch(1);
    head->addWidget(Panel10, 1);
    layout->addWidget(Panel9);

    Safety = named(new QPlainTextEdit(content), "Safety");
    Safety->setReadOnly(true);
    Safety->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Safety->document()->setDocumentMargin(8);
    Safety->setPlainText(kerf::safety_notice());
    layout->addWidget(Safety, 1);

    Safety_Panel = panel("Safety_Panel", content);
    Safety_Panel->setMinimumHeight(30);
    auto* check_layout = new QHBoxLayout(Safety_Panel);
    check_layout->setContentsMargins(40, 4, 40, 4);
    Safety_check = named(
        new QCheckBox(QStringLiteral("I know the risks involved using Kerfplanner"), Safety_Panel),
        "Safety_check");
    Safety_check->setChecked(false);
    // Never widens the tab: a magnified text too wide for the panel gets a smaller font
    // instead (arrange_layout).
    Safety_check->setMinimumWidth(1);
    check_layout->addStretch(1);
    check_layout->addWidget(Safety_check);
    check_layout->addStretch(1);
    layout->addWidget(Safety_Panel);
}

void Tjoint_form::create_callout() {
    CalloutPanel1 = named(new kerf::CalloutPanel(this), "CalloutPanel1");
    CalloutPanel1->setGeometry(0, 40, 200, 527);
    CalloutPanel1->hide();
    Calloutlabel = named(CalloutPanel1->label(), "Calloutlabel");
    Calloutlabel->setText(QStringLiteral("Calloutlabel"));
    FloatAnimation1 = CalloutPanel1->animation();
    FloatAnimation1->setObjectName(QStringLiteral("FloatAnimation1"));
}

void Tjoint_form::create_timers() {
    auto timer = [this](const char* name) {
        auto* t = named(new QTimer(this), name);
        t->setInterval(100);
        t->stop();
        return t;
    };
    filewritten = timer("filewritten");
    checktimer = timer("checktimer");
    showerror = timer("showerror");
}
