// Button pictures (32 x 32, 24-bit) and the window icon. Every picture is
// drawn on the button-face colour, so it sits on a button without a mask.

#include "artwork.h"

#include "resources/resource_paths.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

const QColor face(0xEF, 0xEF, 0xEF);
const QColor ink(0x20, 0x20, 0x20);
const QColor blue(0x1E, 0x5A, 0xB4);
const QColor green(0x1E, 0x8C, 0x3C);
const QColor red(0xC0, 0x28, 0x28);
const QColor yellow(0xF0, 0xC0, 0x30);
const QColor paper(0xFF, 0xFF, 0xF8);
const QColor metal(0x9A, 0xA4, 0xB0);
const QColor board(0x2E, 0x7D, 0x32);

using Draw = std::function<void(QPainter&)>;

QImage button(const Draw& draw, int size = 32) {
    QImage image(size, size, QImage::Format_RGB888);
    image.fill(face);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return image;
}

QFont bold_font(int pixels) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

// An arrow along a straight line, head at `to`.
void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, double width = 3.0) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    const QPointF unit = d / length;
    const QPointF normal(-unit.y(), unit.x());
    const QPointF base = to - unit * 7.0;
    p.drawLine(from, base);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF{to, base + normal * 5.0, base - normal * 5.0});
}

// A chip with pins on both long sides.
void chip(QPainter& p, QRectF body) {
    p.setPen(QPen(metal, 1.5));
    for (double x = body.left() + 3; x < body.right() - 1; x += 4) {
        p.drawLine(QPointF(x, body.top() - 3), QPointF(x, body.top()));
        p.drawLine(QPointF(x, body.bottom()), QPointF(x, body.bottom() + 3));
    }
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0x30, 0x30, 0x38));
    p.drawRoundedRect(body, 1.5, 1.5);
    p.setBrush(QColor(0x80, 0x80, 0x88));
    p.drawEllipse(QPointF(body.left() + 3, body.top() + 3), 1.2, 1.2);
}

void document(QPainter& p, QRectF sheet) {
    p.setPen(QPen(ink, 1));
    p.setBrush(paper);
    p.drawRect(sheet);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    for (double y = sheet.top() + 4; y < sheet.bottom() - 2; y += 3.5)
        p.drawLine(QPointF(sheet.left() + 3, y), QPointF(sheet.right() - 3, y));
}

void draw_connect(QPainter& p) {
    // Computer screen on the left, device on the right, link between them.
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0xB0, 0xD0, 0xF0));
    p.drawRect(QRectF(2, 6, 12, 10));
    p.setBrush(metal);
    p.drawRect(QRectF(5, 17, 6, 2));
    p.setBrush(board);
    p.drawRoundedRect(QRectF(20, 8, 10, 14), 2, 2);
    p.setBrush(QColor(0x60, 0xF0, 0x60));
    p.drawEllipse(QPointF(25, 12), 1.5, 1.5);
    arrow(p, QPointF(8, 26), QPointF(28, 26), green, 2.5);
    arrow(p, QPointF(24, 29), QPointF(4, 29), blue, 1.5);
}

void draw_read(QPainter& p) {
    chip(p, QRectF(3, 5, 14, 10));
    document(p, QRectF(17, 14, 13, 16));
    arrow(p, QPointF(10, 18), QPointF(15, 27), blue, 2.5);
}

void draw_parameters(QPainter& p) {
    // Three sliders.
    for (int i = 0; i < 3; ++i) {
        const double y = 7 + i * 9;
        p.setPen(QPen(ink, 2));
        p.drawLine(QPointF(4, y), QPointF(28, y));
        p.setPen(QPen(ink, 1));
        p.setBrush(i == 1 ? red : blue);
        const double x = 8 + ((i * 7) % 16);
        p.drawRect(QRectF(x, y - 3.5, 5, 7));
    }
}

void draw_template_open(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0xE8, 0xB8, 0x40));
    p.drawRect(QRectF(2, 10, 22, 17));
    p.drawRect(QRectF(2, 7, 9, 3));
    document(p, QRectF(8, 3, 13, 16));
    QPainterPath flap;
    flap.moveTo(2, 27);
    flap.lineTo(8, 15);
    flap.lineTo(30, 15);
    flap.lineTo(24, 27);
    flap.closeSubpath();
    p.setBrush(yellow);
    p.drawPath(flap);
}

void draw_exit(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0x8B, 0x5A, 0x2B));
    p.drawRect(QRectF(4, 3, 14, 26));
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRect(QRectF(6, 5, 10, 22));
    QPolygonF door{{6, 5}, {13, 8}, {13, 30}, {6, 27}};
    p.setBrush(QColor(0xA8, 0x70, 0x38));
    p.drawPolygon(door);
    arrow(p, QPointF(15, 16), QPointF(30, 16), red, 3);
}

void draw_cable(QPainter& p) {
    // D-sub shell with pins, a cable, and a small three-contact plug.
    QPolygonF shell{{2, 6}, {18, 6}, {16, 16}, {4, 16}};
    p.setPen(QPen(ink, 1));
    p.setBrush(metal);
    p.drawPolygon(shell);
    p.setBrush(ink);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(5 + i * 2.5, 9), 0.8, 0.8);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(6.2 + i * 2.5, 13), 0.8, 0.8);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 2.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath lead;
    lead.moveTo(10, 16);
    lead.cubicTo(10, 28, 24, 14, 24, 22);
    p.drawPath(lead);
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0xF0, 0xF0, 0xF0));
    p.drawRect(QRectF(19, 22, 10, 7));
    p.setBrush(red);
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(20.5 + i * 3, 28.5, 1.5, 2.5));
}

void draw_mounting(QPainter& p) {
    // Terminal block with wires and a screwdriver.
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0x30, 0x90, 0x50));
    p.drawRect(QRectF(3, 16, 26, 10));
    p.setBrush(metal);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(6 + i * 5, 21), 1.8, 1.8);
    const QColor wires[] = {red, ink, blue, yellow, green};
    for (int i = 0; i < 5; ++i) {
        p.setPen(QPen(wires[i], 1.8));
        p.drawLine(QPointF(6 + i * 5, 26), QPointF(6 + i * 5, 31));
    }
    p.setPen(QPen(ink, 1));
    p.setBrush(red);
    p.drawRoundedRect(QRectF(16, 1, 6, 8), 2, 2);
    p.setBrush(metal);
    p.drawRect(QRectF(18.2, 9, 1.6, 7));
}

void draw_about(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(blue);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(Qt::white);
    p.setFont(bold_font(20));
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("i"));
}

void draw_left_arrow(QPainter& p) {
    arrow(p, QPointF(29, 16), QPointF(3, 16), blue, 6);
}

void draw_ini_tile(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0xF8, 0xF0, 0xD0));
    p.drawRoundedRect(QRectF(2, 5, 28, 22), 3, 3);
    p.setPen(blue);
    p.setFont(bold_font(12));
    p.drawText(QRectF(2, 5, 28, 22), Qt::AlignCenter, QStringLiteral("INI"));
}

void draw_bell(QPainter& p) {
    QPainterPath bell;
    bell.moveTo(6, 24);
    bell.cubicTo(9, 20, 8, 6, 16, 5);
    bell.cubicTo(24, 6, 23, 20, 26, 24);
    bell.closeSubpath();
    p.setPen(QPen(ink, 1));
    p.setBrush(yellow);
    p.drawPath(bell);
    p.drawRect(QRectF(4, 24, 24, 2.5));
    p.drawEllipse(QPointF(16, 29), 2.5, 2.5);
    p.drawEllipse(QPointF(16, 4), 1.8, 1.8);
}

void draw_back(QPainter& p) {
    p.setPen(QPen(green, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath turn;
    turn.moveTo(26, 27);
    turn.cubicTo(30, 14, 20, 10, 11, 10);
    p.drawPath(turn);
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawPolygon(QPolygonF{{2, 10}, {12, 2}, {12, 18}});
}

void draw_factory_texts(QPainter& p) {
    document(p, QRectF(3, 2, 18, 24));
    p.setPen(QPen(red, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14, 15, 14, 14), 60 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawPolygon(QPolygonF{{22, 13}, {27, 17}, {21, 19}});
}

void draw_write_device(QPainter& p) {
    document(p, QRectF(2, 2, 12, 15));
    chip(p, QRectF(15, 18, 15, 10));
    arrow(p, QPointF(9, 19), QPointF(15, 28), red, 2.5);
}

void draw_save_disk(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(blue);
    p.drawRect(QRectF(3, 3, 26, 26));
    p.setBrush(QColor(0xF0, 0xF0, 0xF0));
    p.drawRect(QRectF(8, 3, 16, 10));
    p.setBrush(blue);
    p.drawRect(QRectF(19, 5, 3, 6));
    p.setBrush(paper);
    p.drawRect(QRectF(7, 17, 18, 12));
}

void draw_icon(QPainter& p) {
    // A handset with a message bubble: the SMS notifier.
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0x30, 0x30, 0x38));
    p.drawRoundedRect(QRectF(4, 6, 13, 24), 2.5, 2.5);
    p.setBrush(QColor(0x90, 0xD0, 0x90));
    p.drawRect(QRectF(6, 9, 9, 8));
    p.setBrush(metal);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRect(QRectF(6.5 + c * 3, 19 + r * 3.2, 2, 2));
    p.setPen(QPen(ink, 1.5));
    p.drawLine(QPointF(14, 6), QPointF(14, 1));
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(15, 2, 16, 11), 3, 3);
    bubble.moveTo(18, 12);
    bubble.lineTo(16, 17);
    bubble.lineTo(22, 12);
    p.setPen(QPen(ink, 1));
    p.setBrush(yellow);
    p.drawPath(bubble.simplified());
    p.setPen(ink);
    p.setFont(bold_font(7));
    p.drawText(QRectF(15, 2, 16, 11), Qt::AlignCenter, QStringLiteral("SMS"));
}

// The picture in its 32-pixel file and in every other size the windows
// show it in at the screens' scales.
void add_pngs(std::vector<Picture>& pictures, const char* name, void (*draw)(QPainter&)) {
    const QString file = QStringLiteral("pictures/") + QLatin1String(name) + QStringLiteral(".png");
    pictures.push_back({file, [draw] { return button(draw); }});
    for (const int size : gnc::pictures::button_picture_sizes)
        pictures.push_back({gnc::pictures::sized_picture(file, size),
                            [draw, size] { return button(draw, size); }});
}

} // namespace

std::vector<Picture> button_pictures() {
    std::vector<Picture> pictures;
    // main window
    add_pngs(pictures, "connect", draw_connect);
    add_pngs(pictures, "read", draw_read);
    add_pngs(pictures, "parameters", draw_parameters);
    add_pngs(pictures, "template_open", draw_template_open);
    add_pngs(pictures, "exit", draw_exit);
    add_pngs(pictures, "cable", draw_cable);
    add_pngs(pictures, "mounting", draw_mounting);
    add_pngs(pictures, "about", draw_about);
    // parameters window
    add_pngs(pictures, "left_arrow", draw_left_arrow);
    add_pngs(pictures, "ini", draw_ini_tile);
    add_pngs(pictures, "bell", draw_bell);
    // messages window (its exit button uses exit.png)
    add_pngs(pictures, "back", draw_back);
    add_pngs(pictures, "factory_texts", draw_factory_texts);
    add_pngs(pictures, "write_device", draw_write_device);
    add_pngs(pictures, "save_disk", draw_save_disk);
    return pictures;
}

std::vector<Picture> icon_pictures() {
    std::vector<Picture> icons = {
        {QStringLiteral("icons/gsm-notifier-config.png"), [] { return button(draw_icon); }},
    };
    // The window icon in the sizes title bars and task bars show it in.
    for (const int size : gnc::pictures::window_icon_sizes)
        icons.push_back(
            {gnc::pictures::sized_picture(QStringLiteral("icons/gsm-notifier-config.png"), size),
             [size] { return button(draw_icon, size); }});
    // The desktop's icon theme folders, one drawing per size.
    for (const int size : {16, 32, 48, 64, 128, 256})
        icons.push_back(
            {QStringLiteral("icons/hicolor/%1x%1/apps/gsm-notifier-config.png").arg(size),
             [size] { return button(draw_icon, size); }});
    return icons;
}

std::vector<QImage> windows_icon_images() {
    std::vector<QImage> images;
    for (const int size : {16, 24, 32, 48, 64, 256})
        images.push_back(button(draw_icon, size));
    return images;
}

} // namespace artwork
