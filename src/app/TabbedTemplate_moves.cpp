// Moves, playback and stop: the run buttons, the Stop buttons and the two playback timers.

#include <QTimer>

#include "TabbedTemplate.h"

void Tjoint_form::startstopbuttonClick() {}

void Tjoint_form::homebuttonClick() {}

void Tjoint_form::jobquitClick() {}

void Tjoint_form::filewrittenTimer() { filewritten->stop(); }

void Tjoint_form::checktimerTimer() { checktimer->stop(); }

void Tjoint_form::FormCloseQuery(bool& CanClose) {
    // The step signal ends with the window.
    memplay.stop();
    CanClose = true;
}
