// Adaptive layout and viewing scale.
//
// The contents of the four tabs are magnified by the viewing scale (see magnifier.h) and
// laid out in logical units: the usable width W is the window's outer width divided by the
// scale. arrange_layout fits the entry rows, the run buttons and the About panel to W and
// switches the Program tab between its standard layout, in which the run area fills the tab,
// and a compact one, in which the tab scrolls, when the chart area gets too small. A large
// chart area gives its excess to the banner and the run-button panels.
//
// Changing sizes resizes the tab control, whose resize event asks for arrange_layout again.
// Such a nested request runs as one more pass after the current one has finished; each pass
// halves what is left of an excess, sizes within kSameSize count as unchanged, and a change
// of less than a pixel raises no resize event, so the passes end.

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPalette>
#include <QProgressBar>
#include <QScrollArea>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "TabbedTemplate.h"
#include "frameUnit.h"
#include "image_button.h"
#include "image_view.h"
#include "layout_rules.h"
#include "magnifier.h"
#include "progress_chart.h"
#include "tab_control.h"
#include "track_bar.h"

namespace {

constexpr double kStandardChartArea = 200;
constexpr double kStandardRunPanel = 150;
constexpr double kCompactBanner = 48;
constexpr double kSpacerRoom = 1.0;  // a spacer higher than this: the compact layout is not needed
constexpr double kUnmagnified = 1.0;
// Far more passes than any real growth needs (the excess shrinks to a quarter per pass);
// the bound only guards against a layout that will not settle.
constexpr int kMostPasses = 64;
// Each round lays out one more level of nested widgets.
constexpr int kSettleRounds = 16;

const char kFocusElement[] = "rectangle3style";
constexpr QRgb kFocusFill = 0xFF0000FF;
constexpr QRgb kRestFill = 0xFFFFFFFF;

// Processes the pending layout requests, so that the sizes read next are the laid-out ones.
// Only layout requests: timers, clicks and other input wait for the event loop.
void settle() {
    for (int round = 0; round < kSettleRounds; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// Lays out a page of the tab control that is not in front, as if it were: Qt lays out only
// the page shown, and the Program tab's rules read its sizes whichever tab is in front.
// Layouts of hidden widgets do not answer layout requests or resizes, so each layout is run
// here from the top down, and a resizable scroll box's content gets the box's size, grown to
// the content's minimum, as the box would give it.
void lay_out_hidden(QWidget* widget) {
    if (QLayout* layout = widget->layout()) {
        layout->activate();
        layout->setGeometry(widget->rect());
    }
    if (auto* box = qobject_cast<QScrollArea*>(widget); box && box->widget()) {
        QWidget* content = box->widget();
        if (QLayout* layout = content->layout()) layout->activate();
        box->viewport()->setGeometry(box->contentsRect());
        if (box->widgetResizable())
            content->resize(box->viewport()->size().expandedTo(content->minimumSizeHint()));
    }
    for (QObject* child : widget->children())
        if (auto* inner = qobject_cast<QWidget*>(child); inner && !inner->isWindow())
            lay_out_hidden(inner);
}

void lay_out_page(QTabWidget* tabs, QWidget* page) {
    QWidget* front = tabs->currentWidget();
    if (!front || front == page) return;
    page->setGeometry(front->geometry());
    lay_out_hidden(page);
}

// The control that shows the chart area now: the chart during a job, else the picture.
// Both take the same place; only the one shown is laid out, so only its height is current.
QWidget* chart_area(const Tjoint_form& form) {
    if (!form.ProgressChart->isHidden()) return form.ProgressChart;
    return form.workpiece_Image;
}

// Fits one-line labels to their widths: their design fonts magnified by factor, all made
// smaller by the same ratio where a text would not fit its label otherwise, so that lines
// of one kind keep one size; never below a readable size.
void fit_one_line(std::initializer_list<QLabel*> labels, double factor) {
    constexpr int kSmallestPixels = 9;
    double ratio = factor;
    for (QLabel* label : labels) {
        const QFont font = kerf::design_font(label);
        const double room = label->contentsRect().width();
        const double wide = QFontMetricsF(font).horizontalAdvance(label->text());
        if (room > 0 && wide > 0) ratio = std::min(ratio, room / wide);
    }
    for (QLabel* label : labels) {
        QFont font = kerf::design_font(label);
        const double design_pixels =
            font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
        font.setPixelSize(std::max(kSmallestPixels, static_cast<int>(design_pixels * ratio)));
        // Sizes do not scale text exactly: step down until it fits.
        while (font.pixelSize() > kSmallestPixels &&
               QFontMetricsF(font).horizontalAdvance(label->text()) > label->contentsRect().width())
            font.setPixelSize(font.pixelSize() - 1);
        label->setFont(font);
    }
}

// Fits a check box's one-line text to the room its panel gives it, in the same way.
void fit_check_box(QCheckBox* box, const QWidget* panel, double factor) {
    constexpr int kSmallestPixels = 9;
    const QMargins margins = panel->layout() ? panel->layout()->contentsMargins() : QMargins();
    const int room = panel->contentsRect().width() - margins.left() - margins.right();
    QFont font = kerf::design_font(box);
    const double design_pixels =
        font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    font.setPixelSize(std::max(kSmallestPixels, static_cast<int>(design_pixels * factor)));
    box->setFont(font);
    while (font.pixelSize() > kSmallestPixels && box->sizeHint().width() > room) {
        font.setPixelSize(font.pixelSize() - 1);
        box->setFont(font);
    }
}

class PassGuard {
  public:
    explicit PassGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~PassGuard() { flag_ = false; }
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;

  private:
    bool& flag_;
};

void set_focus_fill(QWidget* button, QRgb colour) {
    if (!button) return;
    auto* element = button->findChild<QWidget*>(QLatin1String(kFocusElement));
    if (!element) return;  // the desktop look has none: the caption colour marks the focus
    QPalette palette = element->palette();
    palette.setColor(QPalette::Window, QColor::fromRgba(colour));
    element->setPalette(palette);
    element->setAutoFillBackground(true);
}

}  // namespace

kerf::Magnifier* Tjoint_form::magnifier() {
    if (!magnifier_) {
        magnifier_ = new kerf::Magnifier(this);
        for (QScrollArea* box : {VertScrollBox1, VertScrollBox2, VertScrollBox3, VertScrollBox4})
            magnifier_->add_area(box->widget());
    }
    return magnifier_;
}

void Tjoint_form::TrackBar1Tracking() {
    thescale = kerf::viewing_scale(TrackBar1->value());
    magnifier()->set_factor(thescale);
    settle();
    arrange_layout();
}

void Tjoint_form::arrange_layout() {
    if (arranging_) {
        arrange_again_ = true;
        return;
    }
    PassGuard guard(arranging_);
    for (int pass = 0; pass < kMostPasses; ++pass) {
        arrange_again_ = false;
        arrange_pass();
        if (!arrange_again_) break;
    }
}

void Tjoint_form::arrange_pass() {
    magnifier();
    const double s = thescale;
    const QRect outer = frameGeometry();
    const float W = static_cast<float>(outer.width() / s);
    const double window_height = outer.height();

    for (TFrame1* row : {st_time, mm_rev, minfreq, maxfreq, steps_rev, saw_width, cut_width,
                         Pin_width, no_cuts, start_x, distance})
        row->rescale(W, thescale);

    kerf::set_logical_width(startstopbutton, W * 0.5, s);
    kerf::set_logical_width(homebutton, W * 0.5, s);
    // The text panel beside the logo: as wide as W leaves beside the logo, never over it.
    kerf::set_logical_maximum_width(Panel10, W - kerf::logical_width(ImageControl2, s), s);

    settle();
    // The About texts: each one line, fitted to the panel once it is laid out (in front).
    if (VertScrollBox4->isVisible()) {
        fit_one_line({Label11}, s);
        fit_one_line({Label12, Label13, Version}, s);
        if (!Safety_Panel->isHidden()) fit_check_box(Safety_check, Safety_Panel, s);
    }

    // The chart area has a size once the tab control is laid out, that is once it is shown.
    // Its rules read the Program tab's sizes also while another tab is in front.
    if (!TabControl1->isVisible()) return;
    const auto settle_all = [this] {
        settle();
        lay_out_page(TabControl1, TabItem1);
    };
    settle_all();

    // Compact: the chart area is too small for the standard layout.
    if (kerf::logical_height(chart_area(*this), s) < kerf::kSmallChartArea) {
        kerf::set_logical_height(ProgressChart, window_height / 3, s);
        kerf::set_logical_height(workpiece_Image, window_height / 3, s);
        Panel1->show();
        kerf::set_logical_height(HeaderToolBar, kCompactBanner, kUnmagnified);
        kerf::set_logical_height(Panel2, window_height / 3, s);
        kerf::set_logical_height(Panel3, window_height / 3, s);
        kerf::set_logical_height(Panel5,
                                 kerf::logical_height(Panel2, s) +
                                     kerf::logical_height(workpiece_Image, s) +
                                     kerf::logical_height(ProgressBar1, s),
                                 s);
        settle_all();
    }

    // Standard again: the compact contents no longer fill the tab.
    if (!Panel1->isHidden() && kerf::logical_height(Panel1, s) > kSpacerRoom) {
        kerf::free_logical_height(Panel5, s);
        for (QWidget* area :
             {static_cast<QWidget*>(workpiece_Image), static_cast<QWidget*>(ProgressChart)}) {
            kerf::set_logical_height(area, kStandardChartArea, s);
            kerf::free_logical_height(area, s);
        }
        kerf::set_logical_height(Panel2, kStandardRunPanel, s);
        kerf::set_logical_height(Panel3, kStandardRunPanel, s);
        Panel1->hide();
        settle_all();
    }

    // A large chart area gives its excess to the banner and the run buttons. Only the
    // standard layout lets the chart area shrink when they grow; in the compact one its
    // height is fixed and the growth would never end.
    if (!Panel1->isHidden()) return;
    QWidget* source = chart_area(*this);
    double h = kerf::logical_height(source, s);
    if (!(h > kerf::kLargeChartArea)) return;
    kerf::set_logical_height(
        HeaderToolBar,
        kerf::logical_height(HeaderToolBar, kUnmagnified) + (h - kerf::kLargeChartArea) / 2,
        kUnmagnified);
    settle_all();
    h = kerf::logical_height(source, s);
    if (h > kerf::kLargeChartArea)
        kerf::set_logical_height(
            Panel2, kerf::logical_height(Panel2, s) + (h - kerf::kLargeChartArea) / 2, s);
    kerf::set_logical_height(Panel3, kerf::logical_height(Panel2, s), s);
    settle_all();
}

void Tjoint_form::FormResize() { arrange_layout(); }

void Tjoint_form::TabControl1Change() { arrange_layout(); }

void Tjoint_form::TabControl1Resize() { arrange_layout(); }

void Tjoint_form::startstopbuttonEnter(QWidget* Sender) { set_focus_fill(Sender, kFocusFill); }

void Tjoint_form::startstopbuttonExit(QWidget* Sender) { set_focus_fill(Sender, kRestFill); }

void TFrame1::rescale(float FutureWidth, float thescale) {
    const QFontMetricsF metrics(kerf::design_font(Label1));
    const kerf::EntryRowFit fit = kerf::fit_entry_row(
        FutureWidth, thescale, static_cast<float>(metrics.horizontalAdvance(Label1->text())),
        static_cast<float>(metrics.height()),
        static_cast<float>(kerf::logical_height(Ed, thescale)));
    kerf::set_logical_height(this, fit.height, thescale);
    kerf::set_logical_width(Label1, fit.label_width, thescale);
}
