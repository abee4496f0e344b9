#include "push_button.h"

#include <QKeyEvent>

namespace kerf {
namespace {

bool plain(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool is_enter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

}  // namespace

PushButton::PushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAutoDefault(false);
    setFocusPolicy(Qt::StrongFocus);
}

void PushButton::keyPressEvent(QKeyEvent* event) {
    if (is_enter(event) || event->key() == Qt::Key_Space) {
        if (!plain(event)) {
            event->ignore();
            return;
        }
        if (is_enter(event)) {
            if (!event->isAutoRepeat()) click();
            event->accept();
            return;
        }
    }
    QPushButton::keyPressEvent(event);
}

void PushButton::keyReleaseEvent(QKeyEvent* event) {
    if (is_enter(event)) {
        event->accept();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

}  // namespace kerf
