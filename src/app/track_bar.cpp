#include "track_bar.h"

#include <algorithm>
#include <cmath>

namespace kerf {

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(static_cast<int>(kMinimum * kStepsPerUnit),
             static_cast<int>(kMaximum * kStepsPerUnit));
    setSingleStep(kStepsPerUnit / 10);
    setPageStep(kStepsPerUnit);
    setTracking(true);
    connect(this, &QSlider::valueChanged, this,
            [this](int raw) { Q_EMIT tracking(static_cast<double>(raw) / kStepsPerUnit); });
}

double TrackBar::value() const { return static_cast<double>(QSlider::value()) / kStepsPerUnit; }

void TrackBar::setValue(double value) {
    if (!std::isfinite(value)) value = 0.0;
    value = std::clamp(value, kMinimum, kMaximum);
    QSlider::setValue(static_cast<int>(std::lround(value * kStepsPerUnit)));
}

}  // namespace kerf
