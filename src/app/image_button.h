#pragma once
// The four big buttons (run buttons and Stop buttons). The face is split into two equal
// halves on white: the picture of the image index on the left, the caption on the right,
// wrapped at word boundaries and blue while the button has the focus.
//
// The image index of a run button is the state of its move: 0 idle ("Start"),
// 4 moving (disabled), 1 waiting for the operator's cut ("Continue").

#include <QString>
#include <memory>

#include "push_button.h"

class QSvgRenderer;

namespace kerf {

class ImageButton : public PushButton {
    Q_OBJECT
    Q_PROPERTY(int imageIndex READ imageIndex WRITE setImageIndex NOTIFY imageIndexChanged)
    Q_PROPERTY(QString hint READ hint WRITE setHint)
  public:
    ImageButton(const QString& text, int image_index, int caption_pixel_size,
                QWidget* parent = nullptr);
    ~ImageButton() override;

    int imageIndex() const { return image_index_; }
    void setImageIndex(int index);

    // The hint is held for the state of a job but not shown to the operator.
    QString hint() const { return hint_; }
    void setHint(const QString& hint) { hint_ = hint; }

    // The caption's design size; it is drawn at that size times the caption scale.
    int captionPixelSize() const { return caption_pixel_size_; }
    double captionScale() const { return caption_scale_; }
    void setCaptionScale(double scale);
    // The colour the caption is drawn in now.
    QColor captionColor() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  Q_SIGNALS:
    void imageIndexChanged(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int image_index_ = -1;
    int caption_pixel_size_;
    double caption_scale_ = 1.0;
    QString hint_;
    std::unique_ptr<QSvgRenderer> renderer_;
};

}  // namespace kerf
