#include "image_view.h"

#include <QPainter>
#include <QSvgRenderer>

namespace kerf {

QRectF fit_centred(const QSizeF& picture, const QRectF& area) {
    if (picture.isEmpty() || area.isEmpty()) return {};
    const QSizeF size = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return {area.center().x() - size.width() / 2, area.center().y() - size.height() / 2,
            size.width(), size.height()};
}

ImageView::ImageView(const QString& resource, QWidget* parent)
    : QWidget(parent), resource_(resource), renderer_(std::make_unique<QSvgRenderer>(resource)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

ImageView::~ImageView() = default;

bool ImageView::hasPicture() const { return renderer_->isValid(); }

QSize ImageView::sizeHint() const { return {200, 200}; }

void ImageView::paintEvent(QPaintEvent*) {
    if (!renderer_->isValid()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer_->render(&painter, fit_centred(renderer_->defaultSize(), rect()));
}

}  // namespace kerf
