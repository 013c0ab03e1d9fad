#pragma once
// Greyed and applicable edit boxes. A greyed box is disabled and painted in
// the scroll-bar colour; an applicable box is enabled and painted in the
// window colour. Some rules change only the colour or only the enabled state.

class QLineEdit;

namespace gnc {

enum class BoxColour { window, scroll_bar };

void paint_box(QLineEdit* box, BoxColour colour);
BoxColour box_colour(const QLineEdit* box);

// enabled and window colour, or disabled and scroll-bar colour
void set_box_applicable(QLineEdit* box, bool applicable);

} // namespace gnc
