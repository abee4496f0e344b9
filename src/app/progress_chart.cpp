#include "progress_chart.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>
#include <QPainter>
#include <QRubberBand>
#include <QSvgRenderer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace kerf {
namespace {

constexpr int kTextureWidth = 43;
constexpr int kTextureHeight = 56;
constexpr int kTitlePixels = 13;
constexpr int kAxisPixels = 11;
// A chart of this size holds its texts at their design sizes; a larger one may magnify
// them in proportion.
constexpr double kTextRoomWidth = 400;
constexpr double kTextRoomHeight = 150;

// 1, 2 or 5 times a power of ten, at least raw.
double nice_interval(double raw) {
    if (!(raw > 0)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= raw) return step * power;
    return 10 * power;
}

}  // namespace

QList<QPointF> stair_outline(const QList<QPointF>& points) {
    QList<QPointF> outline;
    outline.reserve(points.size() * 2);
    for (qsizetype i = 0; i < points.size(); ++i) {
        if (i > 0 && points[i].y() != points[i - 1].y() && points[i].x() != points[i - 1].x())
            outline.append(QPointF(points[i].x(), points[i - 1].y()));
        outline.append(points[i]);
    }
    return outline;
}

QImage grey_wood_texture() {
    QImage image(kTextureWidth, kTextureHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QSvgRenderer renderer(QStringLiteral(":/images/wood.svg"));
    if (renderer.isValid()) {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, kTextureWidth, kTextureHeight));
    }
    // Grey: the grain's lightness on a mid grey, so that the profile reads calmly.
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 96 + qGray(line[x]) * 96 / 255;
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return image;
}

ProgressChart::ProgressChart(QWidget* parent)
    : QChartView(parent),
      upper_(new QLineSeries),
      workpiece_(new QAreaSeries(upper_)),
      axis_x_(new QValueAxis),
      axis_y_(new QValueAxis) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Progress"));
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));

    workpiece_->setName(QStringLiteral("workpiece"));
    workpiece_->setObjectName(QStringLiteral("workpiece"));
    workpiece_->setBrush(QBrush(grey_wood_texture()));
    workpiece_->setPen(Qt::NoPen);
    workpiece_->setPointsVisible(false);
    chart->addSeries(workpiece_);

    axis_x_->setTitleText(QStringLiteral("position (mm)"));
    axis_y_->setTitleText(QStringLiteral("depth (mm)"));
    axis_x_->setLabelFormat(QStringLiteral("%g"));
    axis_y_->setLabelFormat(QStringLiteral("%g"));
    axis_x_->setTickType(QValueAxis::TicksDynamic);
    axis_x_->setTickAnchor(0);
    axis_y_->setTickType(QValueAxis::TicksDynamic);
    axis_y_->setTickAnchor(0);
    axis_y_->setTickInterval(50);
    QFont small = axis_x_->titleFont();
    small.setPixelSize(kAxisPixels);
    small.setBold(false);
    for (QValueAxis* axis : {axis_x_, axis_y_}) {
        axis->setTitleFont(small);
        axis->setLabelsFont(small);
    }
    QFont title = chart->titleFont();
    title.setPixelSize(kTitlePixels);
    title.setBold(true);
    chart->setTitleFont(title);
    chart->addAxis(axis_x_, Qt::AlignBottom);
    chart->addAxis(axis_y_, Qt::AlignLeft);
    workpiece_->attachAxis(axis_x_);
    workpiece_->attachAxis(axis_y_);

    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
    // The zoom rectangle: a silver outline, no fill.
    for (QRubberBand* band : findChildren<QRubberBand*>())
        band->setStyleSheet(QStringLiteral("border: 1px solid silver; background: transparent;"));
    redraw();
}

void ProgressChart::set_text_scale(double factor) {
    if (!(factor > 0)) return;
    wanted_scale_ = factor;
    fit_texts();
}

void ProgressChart::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    fit_texts();
}

void ProgressChart::fit_texts() {
    const double room = std::min(width() / kTextRoomWidth, height() / kTextRoomHeight);
    const double scale = std::max(1.0, std::min(wanted_scale_, room));
    if (scale == text_scale_) return;
    text_scale_ = scale;
    const auto sized = [scale](QFont font, int pixels) {
        font.setPixelSize(static_cast<int>(std::lround(pixels * scale)));
        return font;
    };
    chart()->setTitleFont(sized(chart()->titleFont(), kTitlePixels));
    for (QValueAxis* axis : {axis_x_, axis_y_}) {
        axis->setTitleFont(sized(axis->titleFont(), kAxisPixels));
        axis->setLabelsFont(sized(axis->labelsFont(), kAxisPixels));
    }
}

void ProgressChart::clear() {
    points_.clear();
    redraw();
}

void ProgressChart::add_point(double x, double y) {
    points_.append(QPointF(x, y));
    redraw();
}

void ProgressChart::set_title(const QString& title) { chart()->setTitle(title); }

QString ProgressChart::title() const { return chart()->title(); }

QList<QPointF> ProgressChart::stairs() const { return stair_outline(points_); }

void ProgressChart::redraw() {
    upper_->replace(stairs());
    double min_x = 0, max_x = 10, max_y = 100;
    if (!points_.isEmpty()) {
        const auto [lo, hi] =
            std::minmax_element(points_.begin(), points_.end(),
                                [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
        min_x = std::min(0.0, lo->x());
        max_x = std::max(min_x + 10, hi->x());
        for (const QPointF& point : points_) max_y = std::max(max_y, point.y());
    }
    const double pad = (max_x - min_x) * 0.05;
    axis_x_->setRange(min_x - pad, max_x + pad);
    axis_x_->setTickInterval(nice_interval((max_x - min_x) / 5));
    axis_y_->setRange(0, max_y * 1.1);
}

}  // namespace kerf
