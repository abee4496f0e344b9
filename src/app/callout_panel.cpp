#include "callout_panel.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <algorithm>

namespace kerf {

CalloutPanel::CalloutPanel(QWidget* parent)
    : QWidget(parent),
      label_(new QLabel(this)),
      effect_(new QGraphicsOpacityEffect(this)),
      animation_(new QVariantAnimation(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, kPointerLength + 8, 12, 8);
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    QFont font = label_->font();
    font.setPixelSize(16);
    label_->setFont(font);
    layout->addWidget(label_);

    effect_->setOpacity(0.0);
    setGraphicsEffect(effect_);
    // The callout lies over the tabs for five seconds; a click there must still reach the
    // control below it, above all a Stop button.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);

    animation_->setStartValue(kStartValue);
    animation_->setEndValue(kStopValue);
    animation_->setDuration(kDurationMs);
    animation_->setEasingCurve(QEasingCurve::Linear);
    connect(animation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { setAnimatedValue(value.toDouble()); });
    connect(animation_, &QVariantAnimation::finished, this, &CalloutPanel::finished);
}

double CalloutPanel::opacity() const { return effect_->opacity(); }

void CalloutPanel::setAnimatedValue(double value) {
    effect_->setOpacity(std::clamp(value, 0.0, 1.0));
}

void CalloutPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;  // the window came back, the panel did not turn visible
    animation_->stop();
    setAnimatedValue(kStartValue);
    animation_->start();
}

void CalloutPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) return;
    animation_->stop();
    effect_->setOpacity(0.0);
}

void CalloutPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(0.5, kPointerLength + 0.5, -0.5, -0.5);
    const double tip_x = body.center().x();
    QPainterPath path;
    path.addRoundedRect(body, 6, 6);
    QPainterPath pointer;
    pointer.moveTo(tip_x - kPointerWidth / 2.0, body.top() + 1);
    pointer.lineTo(tip_x, 0.5);
    pointer.lineTo(tip_x + kPointerWidth / 2.0, body.top() + 1);
    pointer.closeSubpath();
    path = path.united(pointer);
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    painter.setBrush(QColor(0xFF, 0xFB, 0xE6));
    painter.drawPath(path);
}

}  // namespace kerf
