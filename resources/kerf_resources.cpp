#include "kerf_resources.h"

#include <QFile>

namespace kerf {

QString safety_notice() {
    init_resources();
    QFile file{QString(resource::safety_text)};
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

}  // namespace kerf
