#pragma once
// The callout: a panel with a pointer on its top edge that floats above the tabs and shows
// the last critical log line. Its opacity follows an animation from 0.5 to 2.0 over five
// seconds, shown clamped to 1 (full opacity from a third of the time on).

#include <QWidget>

class QGraphicsOpacityEffect;
class QLabel;
class QVariantAnimation;

namespace kerf {

class CalloutPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kPointerWidth = 23;
    static constexpr int kPointerLength = 11;
    static constexpr int kDurationMs = 5000;
    static constexpr double kStartValue = 0.5;
    static constexpr double kStopValue = 2.0;

    explicit CalloutPanel(QWidget* parent = nullptr);

    QLabel* label() const { return label_; }
    QVariantAnimation* animation() const { return animation_; }
    // The opacity drawn now, between 0 and 1.
    double opacity() const;

  Q_SIGNALS:
    // The animation has run its course.
    void finished();

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Turning visible starts the animation from its start value; hiding stops it.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void setAnimatedValue(double value);

    QLabel* label_;
    QGraphicsOpacityEffect* effect_;
    QVariantAnimation* animation_;
};

}  // namespace kerf
