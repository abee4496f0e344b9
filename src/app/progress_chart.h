#pragma once
// The progress chart of a joint job: the workpiece's profile as an area drawn in stairs
// (each point's depth holds until the next point), filled with a grey wood texture.
// Points stay in the order in which they were added. Dragging with the mouse zooms in.

#include <QChartView>
#include <QList>
#include <QPointF>

class QAreaSeries;
class QLineSeries;
class QValueAxis;

namespace kerf {

class ProgressChart : public QChartView {
    Q_OBJECT
  public:
    explicit ProgressChart(QWidget* parent = nullptr);

    // Removes all points of the series.
    void clear();
    void add_point(double x, double y);
    void set_title(const QString& title);
    QString title() const;

    // The points as added.
    const QList<QPointF>& points() const { return points_; }
    // The outline drawn: the points with a step inserted before each change of depth.
    QList<QPointF> stairs() const;
    QAreaSeries* workpiece() const { return workpiece_; }

    // Magnifies the texts (title, axis titles and labels) by the viewing scale, as far as
    // the chart's own size lets them fit: never more than factor, never below design size.
    void set_text_scale(double factor);
    // The scale the texts are drawn at now.
    double text_scale() const { return text_scale_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void redraw();
    void fit_texts();

    QList<QPointF> points_;
    QLineSeries* upper_;
    QAreaSeries* workpiece_;
    QValueAxis* axis_x_;
    QValueAxis* axis_y_;
    double wanted_scale_ = 1.0;
    double text_scale_ = 1.0;
};

// The stair outline of points: before each point, a point at its x with the previous depth.
QList<QPointF> stair_outline(const QList<QPointF>& points);

// The wood texture of the series: the wood picture at 43 by 56, in grey.
QImage grey_wood_texture();

}  // namespace kerf
