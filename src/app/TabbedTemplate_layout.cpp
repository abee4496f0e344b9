// Adaptive layout and viewing scale. The window's layouts place the controls; fitting the
// rows, buttons and chart area to the window's size and magnifying the tabs by the viewing
// scale build on these handlers.

#include "TabbedTemplate.h"
#include "frameUnit.h"
#include "track_bar.h"

void Tjoint_form::TrackBar1Tracking() {
    thescale = static_cast<float>(TrackBar1->value() / 10.0 + 1.0);
    arrange_layout();
}

void Tjoint_form::arrange_layout() {}

void Tjoint_form::FormResize() { arrange_layout(); }

void Tjoint_form::TabControl1Change() { arrange_layout(); }

void Tjoint_form::TabControl1Resize() { arrange_layout(); }

void Tjoint_form::startstopbuttonEnter(QWidget* Sender) { (void)Sender; }

void Tjoint_form::startstopbuttonExit(QWidget* Sender) { (void)Sender; }

void TFrame1::rescale(float FutureWidth, float thescale) {
    (void)FutureWidth;
    (void)thescale;
}
