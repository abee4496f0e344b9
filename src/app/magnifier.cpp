#include "magnifier.h"

#include <QLayout>
#include <QMetaType>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "image_button.h"
#include "layout_rules.h"
#include "progress_chart.h"

namespace {

// How one axis of a widget is sized.
struct Axis {
    enum Mode { Design, Fixed, Maximum };
    Mode mode = Design;
    double logical = 0;
};

// What a widget looks like at factor 1.
struct WidgetDesign {
    QFont font;
    QSize minimum;
    QSize maximum;
    QMargins margins;
    Axis width;
    Axis height;
};

struct SpacerDesign {
    int index;
    QSize size;
    QSizePolicy policy;
};

struct LayoutDesign {
    QMargins margins;
    int spacing;
    QList<SpacerDesign> spacers;
};

}  // namespace

Q_DECLARE_METATYPE(WidgetDesign)
Q_DECLARE_METATYPE(LayoutDesign)

namespace kerf {
namespace {

constexpr char kDesign[] = "kerfDesign";

int pixels(double logical) {
    if (!(logical > 0)) return 0;
    return static_cast<int>(std::lround(std::min(logical, static_cast<double>(QWIDGETSIZE_MAX))));
}

// A design size times the factor; "no limit" stays no limit.
int scaled(int design, double factor) {
    if (design >= QWIDGETSIZE_MAX) return QWIDGETSIZE_MAX;
    return std::min(pixels(design * factor), QWIDGETSIZE_MAX);
}

QMargins scaled(const QMargins& m, double factor) {
    return {pixels(m.left() * factor), pixels(m.top() * factor), pixels(m.right() * factor),
            pixels(m.bottom() * factor)};
}

QFont scaled(QFont font, double factor) {
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, pixels(font.pixelSize() * factor)));
    else if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}

WidgetDesign capture(QWidget* widget) {
    WidgetDesign design;
    // A font that the widget only inherits is its parent's design font: the parent may be
    // magnified already.
    QWidget* parent = widget->parentWidget();
    design.font =
        (parent && !widget->testAttribute(Qt::WA_SetFont) && parent->property(kDesign).isValid())
            ? parent->property(kDesign).value<WidgetDesign>().font
            : widget->font();
    design.minimum = widget->minimumSize();
    design.maximum = widget->maximumSize();
    design.margins = widget->contentsMargins();
    return design;
}

WidgetDesign design_of(QWidget* widget) {
    const QVariant kept = widget->property(kDesign);
    if (kept.isValid()) return kept.value<WidgetDesign>();
    WidgetDesign design = capture(widget);
    widget->setProperty(kDesign, QVariant::fromValue(design));
    return design;
}

const WidgetDesign* kept_design(const QWidget* widget, WidgetDesign& storage) {
    const QVariant kept = widget->property(kDesign);
    if (!kept.isValid()) return nullptr;
    storage = kept.value<WidgetDesign>();
    return &storage;
}

void limits(const Axis& axis, int design_min, int design_max, double factor, int& min, int& max) {
    switch (axis.mode) {
        case Axis::Fixed:
            min = max = pixels(axis.logical * factor);
            return;
        case Axis::Maximum:
            min = scaled(design_min, factor);
            max = std::max(min, pixels(axis.logical * factor));
            return;
        case Axis::Design:
            min = scaled(design_min, factor);
            max = scaled(design_max, factor);
            return;
    }
}

void apply_size(QWidget* widget, const WidgetDesign& design, double factor) {
    int min_w = 0, max_w = 0, min_h = 0, max_h = 0;
    limits(design.width, design.minimum.width(), design.maximum.width(), factor, min_w, max_w);
    limits(design.height, design.minimum.height(), design.maximum.height(), factor, min_h, max_h);
    // Widen the limits first, so that no step of the change leaves a minimum above a maximum.
    widget->setMaximumSize(std::max(max_w, widget->maximumWidth()),
                           std::max(max_h, widget->maximumHeight()));
    widget->setMinimumSize(min_w, min_h);
    widget->setMaximumSize(max_w, max_h);
}

void set_axis(QWidget* widget, Axis WidgetDesign::*which, Axis axis, double factor) {
    WidgetDesign design = design_of(widget);
    const Axis& now = design.*which;
    const bool same = now.mode == axis.mode && (axis.mode == Axis::Design ||
                                                std::abs(now.logical - axis.logical) < kSameSize);
    if (same) return;
    design.*which = axis;
    widget->setProperty(kDesign, QVariant::fromValue(design));
    apply_size(widget, design, factor);
}

void magnify_layout(QLayout* layout, double factor) {
    QVariant kept = layout->property(kDesign);
    if (!kept.isValid()) {
        LayoutDesign design{layout->contentsMargins(), layout->spacing(), {}};
        for (int i = 0; i < layout->count(); ++i)
            if (QSpacerItem* spacer = layout->itemAt(i)->spacerItem())
                design.spacers.append({i, spacer->sizeHint(), spacer->sizePolicy()});
        kept = QVariant::fromValue(design);
        layout->setProperty(kDesign, kept);
    }
    const LayoutDesign design = kept.value<LayoutDesign>();
    layout->setContentsMargins(scaled(design.margins, factor));
    if (design.spacing >= 0) layout->setSpacing(pixels(design.spacing * factor));
    for (const SpacerDesign& spacer : design.spacers) {
        QLayoutItem* item = layout->itemAt(spacer.index);
        if (QSpacerItem* s = item ? item->spacerItem() : nullptr)
            s->changeSize(pixels(spacer.size.width() * factor),
                          pixels(spacer.size.height() * factor), spacer.policy.horizontalPolicy(),
                          spacer.policy.verticalPolicy());
    }
    for (int i = 0; i < layout->count(); ++i)
        if (QLayout* inner = layout->itemAt(i)->layout()) magnify_layout(inner, factor);
    layout->invalidate();
}

void magnify(QWidget* widget, double factor) {
    const WidgetDesign design = design_of(widget);
    widget->setFont(scaled(design.font, factor));
    widget->setContentsMargins(scaled(design.margins, factor));
    apply_size(widget, design, factor);
    if (QLayout* layout = widget->layout()) magnify_layout(layout, factor);
    if (auto* button = qobject_cast<ImageButton*>(widget)) button->setCaptionScale(factor);
    if (auto* chart = qobject_cast<ProgressChart*>(widget)) chart->set_text_scale(factor);
}

}  // namespace

void set_logical_height(QWidget* widget, double logical, double factor) {
    set_axis(widget, &WidgetDesign::height, {Axis::Fixed, logical}, factor);
}

void set_logical_width(QWidget* widget, double logical, double factor) {
    set_axis(widget, &WidgetDesign::width, {Axis::Fixed, logical}, factor);
}

void set_logical_maximum_width(QWidget* widget, double logical, double factor) {
    set_axis(widget, &WidgetDesign::width, {Axis::Maximum, logical}, factor);
}

void free_logical_height(QWidget* widget, double factor) {
    set_axis(widget, &WidgetDesign::height, {Axis::Design, 0}, factor);
}

double logical_height(const QWidget* widget, double factor) {
    WidgetDesign storage;
    if (const WidgetDesign* design = kept_design(widget, storage)) {
        if (design->height.mode == Axis::Fixed) return design->height.logical;
        if (design->minimum.height() == design->maximum.height()) return design->minimum.height();
    } else if (widget->minimumHeight() == widget->maximumHeight()) {
        return widget->minimumHeight();  // never magnified: the design size
    }
    return widget->height() / factor;
}

double logical_width(const QWidget* widget, double factor) {
    WidgetDesign storage;
    if (const WidgetDesign* design = kept_design(widget, storage)) {
        if (design->width.mode == Axis::Fixed) return design->width.logical;
        if (design->minimum.width() == design->maximum.width()) return design->minimum.width();
    } else if (widget->minimumWidth() == widget->maximumWidth()) {
        return widget->minimumWidth();  // never magnified: the design size
    }
    return widget->width() / factor;
}

QFont design_font(QWidget* widget) { return design_of(widget).font; }

Magnifier::Magnifier(QObject* parent) : QObject(parent) {}

void Magnifier::add_area(QWidget* root) {
    areas_.append(root);
    // Take the design values now, while nothing is magnified.
    design_of(root);
    for (QWidget* widget : root->findChildren<QWidget*>()) design_of(widget);
}

void Magnifier::set_factor(double factor) {
    if (!(factor > 0) || std::abs(factor - factor_) < kSameSize / 1000) return;
    factor_ = factor;
    for (const QPointer<QWidget>& root : areas_) {
        if (!root) continue;
        magnify(root, factor);
        for (QWidget* widget : root->findChildren<QWidget*>()) magnify(widget, factor);
    }
}

}  // namespace kerf
