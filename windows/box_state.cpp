#include "windows/box_state.h"

#include <QColor>
#include <QLineEdit>
#include <QPalette>

namespace gnc {

namespace {

// The classic system colours the boxes are painted in.
const QColor window_colour(0xFF, 0xFF, 0xFF);
const QColor scroll_bar_colour(0xC8, 0xC8, 0xC8);

} // namespace

void paint_box(QLineEdit* box, BoxColour colour) {
    QPalette palette = box->palette();
    const QColor& c = colour == BoxColour::window ? window_colour : scroll_bar_colour;
    // Both groups, so that a disabled box shows the same colour as an enabled one.
    palette.setColor(QPalette::Active, QPalette::Base, c);
    palette.setColor(QPalette::Inactive, QPalette::Base, c);
    palette.setColor(QPalette::Disabled, QPalette::Base, c);
    box->setPalette(palette);
    box->setProperty("boxColour", colour == BoxColour::window ? "window" : "scroll_bar");
}

BoxColour box_colour(const QLineEdit* box) {
    return box->property("boxColour").toString() == QLatin1String("scroll_bar")
               ? BoxColour::scroll_bar
               : BoxColour::window;
}

void set_box_applicable(QLineEdit* box, bool applicable) {
    box->setEnabled(applicable);
    paint_box(box, applicable ? BoxColour::window : BoxColour::scroll_bar);
}

} // namespace gnc
