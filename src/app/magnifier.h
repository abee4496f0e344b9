#pragma once
// Magnification of the tabs' contents by the viewing scale. Qt Widgets cannot magnify a
// container, so the magnifier shows every widget below an area at its design values times
// the factor: fonts, fixed and limiting sizes, margins, the margins and spacings of layouts
// and the sizes of their spacers, the caption size of the big buttons and the texts of the
// progress chart (as far as the chart has room for them). Pictures are drawn scaled to
// their widget and grow with it.
//
// Sizes in an area are logical: device-independent pixels before magnification. A widget
// whose size the window computes (an entry row's height, a run button's width) gets it
// through set_logical_height() and its kin, which keep the logical value on the widget, so
// that a later change of the factor shows it anew. The design values are taken from each
// widget the first time it is seen, before anything here has changed it.

#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace kerf {

// Fixes the widget's height at logical units, shown as logical × factor pixels. A height
// within kSameSize of the one already kept changes nothing.
void set_logical_height(QWidget* widget, double logical, double factor);
// The same for the width.
void set_logical_width(QWidget* widget, double logical, double factor);
// Lets the widget be at most logical units wide; its layout may give it less.
void set_logical_maximum_width(QWidget* widget, double logical, double factor);
// Gives the height back to the widget's design limits (for a control that fills its place).
void free_logical_height(QWidget* widget, double factor);
// The height in logical units: a kept fixed height, else a fixed height of the design, else
// the height the widget is laid out at, divided by the factor.
double logical_height(const QWidget* widget, double factor);
double logical_width(const QWidget* widget, double factor);
// The widget's font at factor 1.
QFont design_font(QWidget* widget);

class Magnifier : public QObject {
    Q_OBJECT
  public:
    explicit Magnifier(QObject* parent = nullptr);

    // Magnifies root and everything below it from now on.
    void add_area(QWidget* root);
    double factor() const { return factor_; }
    // Shows every area at the factor. The layouts take the new sizes when their layout
    // requests are processed.
    void set_factor(double factor);

  private:
    QList<QPointer<QWidget>> areas_;
    double factor_ = 1.0;
};

}  // namespace kerf
