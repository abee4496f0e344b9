// The exit checks of the entry fields. A failed check records its warning and arms the
// showerror timer; the warning is shown from the timer's tick, never from the exit handler.

#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include "TabbedTemplate.h"
#include "frameUnit.h"
#include "message_dialog.h"

namespace {

// The entry frame that holds the edit that lost the focus.
TFrame1* frame_of(QObject* sender) {
    for (QObject* object = sender; object; object = object->parent())
        if (auto* frame = qobject_cast<TFrame1*>(object)) return frame;
    return nullptr;
}

}  // namespace

void Tjoint_form::check_if_float(QObject* Sender) {
    TFrame1* frame = frame_of(Sender);
    if (!frame || frame->is_float()) return;
    error_control = frame->Label1->text() + QStringLiteral(" contains ") + frame->text() +
                    QStringLiteral(" which is not a valid floating point number.");
    if (!showerror->isActive()) showerror->start();
}

void Tjoint_form::check_if_integer(QObject* Sender) {
    TFrame1* frame = frame_of(Sender);
    if (!frame || frame->is_integer()) return;
    error_control = frame->Label1->text() + QStringLiteral(" contains ") + frame->text() +
                    QStringLiteral(" which is not a valid round number.");
    if (!showerror->isActive()) showerror->start();
}

void Tjoint_form::no_cutsEdExit(QObject* Sender) { check_if_integer(Sender); }

void Tjoint_form::maxfreqEdExit(QObject* Sender) { check_if_integer(Sender); }

void Tjoint_form::showerrorTimer() {
    showerror->stop();
    kerf::show_message(this, QMessageBox::Warning, error_control, QMessageBox::Ok);
}
