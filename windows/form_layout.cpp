#include "windows/form_layout.h"

#include "windows/arrange_when_shown.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

namespace gnc {

namespace {

// The faces the windows are drawn in, best first: where the first is
// missing, faces of similar width come next, so that the texts fit the fixed
// layouts; where none is there, any sans-serif face.
QStringList wanted_form_faces() {
    return {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
            QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
            QStringLiteral("Helvetica")};
}

// The wanted faces that the system has, in the same order; all of them when
// it has none. Qt would pick the same face from the whole list, but for each
// missing face it asks the system for a list of substitutes first, a search
// through every installed font that costs more than the rest of the font's
// set-up, once for every kind of text.
QStringList installed_form_faces() {
    QStringList installed;
    for (const QString& family : QFontDatabase::families()) {
        // A face that several foundries make is listed as "Face [Foundry]".
        installed.append(family.section(QStringLiteral(" ["), 0, 0));
    }
    const QStringList wanted = wanted_form_faces();
    QStringList found;
    for (const QString& face : wanted) {
        if (installed.contains(face, Qt::CaseInsensitive))
            found.append(face);
    }
    return found.isEmpty() ? wanted : found;
}

} // namespace

void apply_form_font(QWidget* window) {
    static const QStringList faces = installed_form_faces();
    QFont font;
    font.setFamilies(faces);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    window->setFont(font);
}

void fix_outer_size(QWidget* window, int outer_width, int outer_height) {
    window->setFixedSize(outer_width - frame_extra_width, outer_height - frame_extra_height);
}

void use_close_box_only(QWidget* window) {
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void clear_caption(QWidget* window) {
    window->setWindowTitle(QStringLiteral(" "));
}

QLabel* place_label(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    set_label_text(label, text);
    return label;
}

void set_label_text(QLabel* label, const QString& text) {
    label->setText(text);
    fit_when_shown(label);
}

QProgressBar* place_bar(QWidget* parent, int left, int top, int width, int height, int maximum) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QStringLiteral("ProgressBar1"));
    bar->setGeometry(left, top, width, height);
    bar->setRange(0, maximum);
    // A new QProgressBar holds -1 ("reset"); the link controller counts from 0.
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QPushButton* place_button(QWidget* parent, const QString& text, int left, int top) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("Button1"));
    button->setGeometry(left, top, 75, 25);
    return button;
}

QFrame* place_bevel(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(left, top, width, height);
    frame->lower();
    return frame;
}

QFrame* place_line(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameStyle((height == 1 ? QFrame::HLine : QFrame::VLine) | QFrame::Plain);
    line->setGeometry(left, top, width, height);
    // Filled in the line's colour as well: at a fractional scale the drawn
    // line can fall beside the pixels the control covers and vanish, while
    // the fill covers them exactly (at least one pixel, never blurred).
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::WindowText));
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    return line;
}

} // namespace gnc
