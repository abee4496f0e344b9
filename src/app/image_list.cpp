#include "image_list.h"

namespace kerf {

QString image_path(int index) {
    switch (index) {
        case kImageStart:
        case kImageContinue:
            return QStringLiteral(":/images/start.svg");
        case kImageStop:
            return QStringLiteral(":/images/stop.svg");
        case kImageHome:
            return QStringLiteral(":/images/home.svg");
        case kImageStartPressed:
            return QStringLiteral(":/images/startpressed.svg");
        default:
            return {};
    }
}

QIcon image_icon(int index) {
    const QString path = image_path(index);
    return path.isEmpty() ? QIcon() : QIcon(path);
}

}  // namespace kerf
