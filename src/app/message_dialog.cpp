#include "message_dialog.h"

#include <QPointer>

namespace kerf {

QMessageBox* show_message(QWidget* parent, QMessageBox::Icon kind, const QString& text,
                          QMessageBox::StandardButtons buttons, DialogCallback on_close) {
    auto* box = new QMessageBox(kind, QStringLiteral("Kerfplanner"), text, buttons, parent);
    box->setObjectName(QStringLiteral("MessageDialog"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, on_close = std::move(on_close)] {
        if (!on_close) return;
        QAbstractButton* clicked = box->clickedButton();
        on_close(clicked ? box->standardButton(clicked) : QMessageBox::NoButton);
    });
    box->open();
    return box;
}

}  // namespace kerf
