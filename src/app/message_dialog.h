#pragma once
// The program's message dialog: a text, a kind, the buttons OK or Yes and No, and a close
// callback that receives the pressed button. The dialog does not block: it is window-modal,
// returns at once, and calls back when it closes. A test finds the open dialog among the
// top-level widgets and presses its buttons.

#include <QMessageBox>
#include <QString>
#include <functional>

namespace kerf {

using DialogCallback = std::function<void(QMessageBox::StandardButton)>;

// Shows the dialog over parent and returns it; it deletes itself when closed. The callback
// receives the button that closed it, or QMessageBox::NoButton when it was closed otherwise.
QMessageBox* show_message(QWidget* parent, QMessageBox::Icon kind, const QString& text,
                          QMessageBox::StandardButtons buttons, DialogCallback on_close = {});

}  // namespace kerf
