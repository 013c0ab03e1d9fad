#pragma once
// Sizing controls to their texts when their window first appears.
//
// Measuring a text loads its font, reads the shapes of its letters and lays
// it out. The program builds every window at start-up, but most of them stay
// hidden until asked for; their controls are measured just before the window
// is first shown instead, so that the main window appears sooner. A window
// that has been shown once measures at once. The arrangements are kept: when
// a window's fonts change (screen_fit.h), they run again.

#include <functional>

class QWidget;

namespace gnc {

// Runs `arrange` (which sizes `widget`, or places it by its size) when the
// window holding `widget` is first shown (before it is drawn), or at once
// when that window is showing or has been shown before. Arrangements run in
// the order they were asked for; one whose widget is gone by then is skipped.
void arrange_when_shown(QWidget* widget, std::function<void()> arrange);

// `widget` sized to its contents (adjustSize) by the same rule. Asking again
// before the window is shown sizes it once.
void fit_when_shown(QWidget* widget);

// Runs the arrangements of `window` again, once it has been shown: its
// controls' fonts have changed (nothing happens before the first show,
// which runs them anyway).
void arrange_again(QWidget* window);

} // namespace gnc
