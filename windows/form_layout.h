#pragma once
// Fixed-geometry building blocks shared by the small windows: the window
// font, outer sizes given with their title bar and borders, labels, bars,
// buttons and bevel frames placed at pixel positions.

#include <QString>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace gnc {

// Title bar and borders that an outer window size includes.
inline constexpr int frame_extra_width = 8;
inline constexpr int frame_extra_height = 32;

// "MS Sans Serif" 13 px, falling back to a face of similar width (or any
// sans-serif face) where it is missing.
void apply_form_font(QWidget* window);

// Fixes the client area so that the window, with its frame, has the given
// outer size.
void fix_outer_size(QWidget* window, int outer_width, int outer_height);

// A title bar with the close box only (no minimise, no maximise).
void use_close_box_only(QWidget* window);

// A title bar without caption text. Qt puts the program's name into a title
// bar whose title is empty, so the caption is one blank instead.
void clear_caption(QWidget* window);

// A label that sizes itself to its text whenever the text changes (in a
// window not yet shown: when the window is first shown).
QLabel* place_label(QWidget* parent, const char* name, const QString& text, int left, int top);
void set_label_text(QLabel* label, const QString& text);

QProgressBar* place_bar(QWidget* parent, int left, int top, int width, int height, int maximum);
QPushButton* place_button(QWidget* parent, const QString& text, int left, int top);

// A lowered frame around the given rectangle (a bevel).
QFrame* place_bevel(QWidget* parent, const char* name, int left, int top, int width, int height);
// A one-pixel line; horizontal when height is 1.
QFrame* place_line(QWidget* parent, const char* name, int left, int top, int width, int height);

} // namespace gnc
