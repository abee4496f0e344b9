#pragma once
// The viewing-scale slider: a continuous value from 0 to 10. Internally a QSlider in
// thousandths; value() and setValue() speak in slider units.

#include <QSlider>

namespace kerf {

class TrackBar : public QSlider {
    Q_OBJECT
  public:
    static constexpr double kMinimum = 0.0;
    static constexpr double kMaximum = 10.0;
    static constexpr int kStepsPerUnit = 1000;

    explicit TrackBar(QWidget* parent = nullptr);

    double value() const;
    // Clamped to the range; a value that is not a number gives 0. Setting the value the
    // slider already has changes nothing and signals nothing.
    void setValue(double value);

  Q_SIGNALS:
    // Every change of the value, by the operator or by the program.
    void tracking(double value);
};

}  // namespace kerf
