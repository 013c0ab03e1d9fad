#pragma once
// The windows on the screen: every window's layout is given in pixels at 120
// per inch, while Qt's logical pixel is 1/96 inch at the system's scaling
// (the screen's device pixel ratio carries that scaling). Just before a
// window is first shown, and whenever it moves to another screen, its
// controls' positions and sizes, its fonts, its picture sizes and its own
// size are mapped from layout pixels to logical pixels: by 96/120, so that
// each window has its physical size at every scaling, or by less where the
// window with its frame would not fit the screen's work area.

#include <QRect>

class QWidget;

namespace gnc {

// Logical pixels per layout pixel where a window fits its screen.
inline constexpr double layout_scale = 96.0 / 120.0;

// No text is drawn smaller than this many device pixels, whatever the scale.
inline constexpr int smallest_font_device_pixels = 9;

// Maps `window` (a top-level window whose controls are placed in layout
// pixels) to the screen it is about to appear on. The windows call it on
// every show; it does its work on the first one, and on later ones only
// where the screen changed meanwhile. A window that was placed (moved)
// keeps its position mapped to the screen where it fits, and is otherwise
// moved wholly into the work area.
void fit_to_screen(QWidget* window);

// The factor from layout pixels to logical pixels that `widget`'s window
// uses now; 1 before the window has been fitted (it is then laid out in
// layout pixels).
double window_scale(const QWidget* widget);

// A length, point or rectangle of `widget`'s window's layout in logical
// pixels, as the window places it now. Rectangles are mapped edge by edge,
// so that neighbours stay neighbours and no line gets thinner than 1 pixel.
int scaled(const QWidget* widget, int layout_pixels);
QPoint scaled(const QWidget* widget, QPoint layout_point);
QRect scaled(const QWidget* widget, const QRect& layout_rect);

} // namespace gnc
