#include "image_button.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QSvgRenderer>
#include <cmath>

#include "image_list.h"
#include "image_view.h"

namespace kerf {
namespace {

constexpr int kFaceInset = 3;      // the style's frame stays visible around the white face
constexpr int kImageMargin = 5;    // left, top and bottom of the picture
constexpr int kCaptionMargin = 4;  // around the caption
constexpr int kSmallestCaption = 9;

// The largest pixel size up to wanted at which text, wrapped at word boundaries, fits area.
QFont fitting_font(QFont font, int wanted, const QString& text, const QRect& area) {
    for (int size = wanted; size > kSmallestCaption; --size) {
        font.setPixelSize(size);
        const QRect needed = QFontMetrics(font).boundingRect(
            QRect(0, 0, area.width(), 100000), Qt::TextWordWrap | Qt::AlignLeft, text);
        if (needed.width() <= area.width() && needed.height() <= area.height()) return font;
    }
    font.setPixelSize(kSmallestCaption);
    return font;
}

}  // namespace

ImageButton::ImageButton(const QString& text, int image_index, int caption_pixel_size,
                         QWidget* parent)
    : PushButton(text, parent),
      caption_pixel_size_(caption_pixel_size),
      renderer_(std::make_unique<QSvgRenderer>()) {
    setImageIndex(image_index);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

ImageButton::~ImageButton() = default;

void ImageButton::setImageIndex(int index) {
    if (index == image_index_) return;
    image_index_ = index;
    renderer_->load(image_path(index));
    update();
    Q_EMIT imageIndexChanged(index);
}

void ImageButton::setCaptionScale(double scale) {
    if (!(scale > 0) || scale == caption_scale_) return;
    caption_scale_ = scale;
    update();
}

QColor ImageButton::captionColor() const {
    if (!isEnabled()) return palette().color(QPalette::Disabled, QPalette::ButtonText);
    if (hasFocus()) return QColor(0, 0, 255);
    return QColor(0, 0, 0);
}

QSize ImageButton::sizeHint() const { return {200, 130}; }

QSize ImageButton::minimumSizeHint() const { return {60, 40}; }

void ImageButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect face = rect().adjusted(kFaceInset, kFaceInset, -kFaceInset, -kFaceInset);
    const bool pressed = isDown() || isChecked();
    painter.fillRect(face, pressed ? QColor(0xE4, 0xE4, 0xE4) : QColor(Qt::white));
    if (hasFocus()) {
        QPen pen(QColor(0, 0, 255));
        pen.setWidth(2);
        painter.setPen(pen);
        painter.drawRect(face.adjusted(1, 1, -1, -1));
    }

    const int half = face.width() / 2;
    const QRect left(face.left(), face.top(), half, face.height());
    const QRect right(face.left() + half, face.top(), face.width() - half, face.height());

    if (renderer_->isValid()) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF area = QRectF(left).adjusted(kImageMargin, kImageMargin, 0, -kImageMargin);
        renderer_->render(&painter, fit_centred(renderer_->defaultSize(), area));
    }

    const QRect caption =
        right.adjusted(kCaptionMargin, kCaptionMargin, -kCaptionMargin, -kCaptionMargin);
    const int wanted = static_cast<int>(std::lround(caption_pixel_size_ * caption_scale_));
    painter.setFont(fitting_font(font(), wanted, text(), caption));
    painter.setPen(captionColor());
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
}

}  // namespace kerf
