#pragma once
// A picture drawn from an SVG resource, scaled to fit the control with its proportions
// kept and centred in it.

#include <QString>
#include <QWidget>
#include <memory>

class QSvgRenderer;

namespace kerf {

class ImageView : public QWidget {
    Q_OBJECT
  public:
    explicit ImageView(const QString& resource, QWidget* parent = nullptr);
    ~ImageView() override;

    QString resource() const { return resource_; }
    bool hasPicture() const;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString resource_;
    std::unique_ptr<QSvgRenderer> renderer_;
};

// The rectangle of the given proportions that fits into area, centred.
QRectF fit_centred(const QSizeF& picture, const QRectF& area);

}  // namespace kerf
