// The two schematic pictures: how the programming cable joins the device to
// the computer (404 x 379) and how the device is wired on installation
// (713 x 562). White background; lettering in Polish.

#include "artwork.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

const QColor ink(0x10, 0x10, 0x10);
const QColor board(0x2E, 0x7D, 0x32);
const QColor case_grey(0xD8, 0xDC, 0xE0);
const QColor metal(0x9A, 0xA4, 0xB0);
const QColor red(0xC0, 0x20, 0x20);
const QColor blue(0x20, 0x50, 0xB0);
const QColor note_fill(0xFF, 0xF8, 0xD8);

QFont font(int pixels, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QString pl(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void text(QPainter& p, QRectF box, const QString& s, int pixels, bool bold = false,
          int flags = Qt::AlignLeft | Qt::AlignTop, const QColor& colour = ink) {
    p.setPen(colour);
    p.setFont(font(pixels, bold));
    p.drawText(box, flags | Qt::TextWordWrap, s);
}

void note(QPainter& p, QRectF box, const QString& s, int pixels) {
    p.setPen(QPen(ink, 1));
    p.setBrush(note_fill);
    p.drawRect(box);
    text(p, box.adjusted(6, 4, -6, -4), s, pixels);
}

void wire(QPainter& p, const QPolygonF& path, const QColor& colour, double width = 2.0) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(path);
}

void component(QPainter& p, QRectF body, const QColor& fill) {
    p.setPen(QPen(ink, 1));
    p.setBrush(fill);
    p.drawRect(body);
}

QImage canvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::white);
    return image;
}

// ---- cable schematic ------------------------------------------------------

// The three-contact plug with its two notches, seen from above.
void plug(QPainter& p, QRectF body) {
    p.setPen(QPen(ink, 1.2));
    p.setBrush(QColor(0xF4, 0xF4, 0xF4));
    p.drawRect(body);
    p.setBrush(Qt::white);
    const double notch = body.width() / 6;
    p.drawRect(QRectF(body.left() + notch, body.top() - 1, notch, 6));
    p.drawRect(QRectF(body.right() - 2 * notch, body.top() - 1, notch, 6));
    p.setBrush(metal);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(body.left() + body.width() * (i + 1) / 4, body.center().y() + 3), 2.5,
                      2.5);
}

void board_in_case(QPainter& p) {
    p.setPen(QPen(ink, 1.5));
    p.setBrush(case_grey);
    p.drawRoundedRect(QRectF(14, 40, 230, 180), 10, 10);
    text(p, QRectF(24, 46, 210, 16), pl("Obudowa urządzenia"), 11, true);
    p.setPen(QPen(ink, 1));
    p.setBrush(board);
    p.drawRect(QRectF(30, 66, 198, 140));
    component(p, QRectF(44, 80, 70, 46), QColor(0x50, 0x50, 0x58));
    text(p, QRectF(44, 80, 70, 46), pl("moduł\nGSM"), 10, true, Qt::AlignCenter, Qt::white);
    component(p, QRectF(130, 84, 40, 26), QColor(0x30, 0x30, 0x34));
    component(p, QRectF(44, 146, 26, 40), QColor(0x70, 0x40, 0x20));
    component(p, QRectF(84, 150, 50, 30), QColor(0xC0, 0xC0, 0xC8));
    text(p, QRectF(84, 150, 50, 30), pl("SIM"), 10, false, Qt::AlignCenter);
    text(p, QRectF(34, 190, 120, 14), pl("płytka drukowana"), 9, false, Qt::AlignLeft, Qt::white);
    // The three-pin RS-232 header on the board's right edge.
    component(p, QRectF(186, 124, 30, 14), QColor(0x20, 0x20, 0x20));
    p.setBrush(QColor(0xE0, 0xC0, 0x40));
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(189 + i * 9, 127, 5, 8));
    text(p, QRectF(146, 142, 76, 28), pl("złącze\nRS-232"), 9, true, Qt::AlignRight, Qt::white);
}

void cable_and_plug(QPainter& p) {
    // Plug drawn beside the header, with an arrow showing where it goes.
    plug(p, QRectF(262, 110, 54, 22));
    text(p, QRectF(252, 74, 140, 32), pl("wtyk 3-stykowy\n(wycięcia do góry)"), 10, true);
    p.setPen(QPen(blue, 1.5, Qt::DashLine));
    p.drawLine(QPointF(260, 131), QPointF(220, 131));
    p.setBrush(blue);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF{{218, 131}, {226, 127}, {226, 135}});
    // Cable leaving the plug to the right, then down to the D-sub connector.
    wire(p, QPolygonF{{316, 134}, {350, 134}, {370, 150}, {370, 250}, {330, 268}}, ink, 4);
    text(p, QRectF(250, 170, 112, 40), pl("kabel do\nprogramowania"), 10, false, Qt::AlignRight);
}

void dsub_connector(QPainter& p) {
    QPolygonF shell{{214, 256}, {330, 256}, {320, 296}, {224, 296}};
    p.setPen(QPen(ink, 1.5));
    p.setBrush(metal);
    p.drawPolygon(shell);
    p.setBrush(Qt::white);
    for (int i = 0; i < 5; ++i) {
        p.drawEllipse(QPointF(236 + i * 18, 268), 4, 4);
        text(p, QRectF(230 + i * 18, 244, 12, 12), QString::number(i + 1), 9, false,
             Qt::AlignCenter);
    }
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(245 + i * 18, 284), 4, 4);
    text(p, QRectF(14, 250, 196, 48),
         pl("złącze D-sub 9 (żeńskie) do portu RS-232 (COM) komputera"), 10, true, Qt::AlignRight);
}

void pin_table(QPainter& p) {
    text(p, QRectF(14, 304, 380, 14),
         pl("D-sub 9:  2 (RXD) – TXD płytki,  3 (TXD) – RXD płytki,  5 – GND"), 10);
    note(p, QRectF(14, 322, 376, 46),
         pl("Wtyk kabla wkładać do złącza RS-232 płytki wycięciami skierowanymi tak, jak "
            "pokazano na rysunku. Programować przy włączonym zasilaniu urządzenia."),
         10);
}

QImage draw_cable() {
    QImage image = canvas(404, 379);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    text(p, QRectF(0, 8, 404, 22), pl("Podłączenie urządzenia do komputera"), 15, true,
         Qt::AlignHCenter);
    board_in_case(p);
    cable_and_plug(p);
    dsub_connector(p);
    pin_table(p);
    return image;
}

// ---- mounting schematic ---------------------------------------------------

struct Terminal {
    const char* name;
    QColor colour;
};

const Terminal terminals[16] = {
    {"+ZAS", red},  {"GND", ink},   {"+AKU", red}, {"GND", ink},  {"WE1", blue}, {"WE2", blue},
    {"WE3", blue},  {"WE4", blue},  {"WE5", blue}, {"WE6", blue}, {"WE7", blue}, {"WE8", blue},
    {"WY1", board}, {"WY2", board}, {"GND", ink},  {"GND", ink},
};

constexpr double terminal_left = 196;
constexpr double terminal_pitch = 22;
constexpr double terminal_top = 300;

QPointF terminal_screw(int index) {
    return {terminal_left + 11 + index * terminal_pitch, terminal_top + 12};
}

void device_box(QPainter& p) {
    p.setPen(QPen(ink, 1.5));
    p.setBrush(case_grey);
    p.drawRoundedRect(QRectF(180, 70, 384, 262), 10, 10);
    text(p, QRectF(180, 76, 384, 18), pl("Moduł powiadomienia SMS"), 13, true, Qt::AlignHCenter);
    // SIM card slot.
    component(p, QRectF(200, 110, 96, 56), QColor(0xC8, 0xC8, 0xD0));
    text(p, QRectF(200, 110, 96, 56), pl("gniazdo\nkarty SIM"), 10, true, Qt::AlignCenter);
    // Signal-level LED.
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0x30, 0xE0, 0x30));
    p.drawEllipse(QPointF(330, 130), 7, 7);
    text(p, QRectF(344, 118, 110, 28), pl("dioda LED\npoziom sygnału"), 10);
    // Antenna socket and microphone socket on the top edge.
    component(p, QRectF(470, 62, 24, 16), metal);
    component(p, QRectF(250, 62, 20, 16), metal);
    text(p, QRectF(200, 180, 350, 16), pl("złącze zaciskowe 16-stykowe"), 10, true);
}

void terminal_block(QPainter& p) {
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0x30, 0x90, 0x50));
    p.drawRect(QRectF(terminal_left, terminal_top, 16 * terminal_pitch, 24));
    for (int i = 0; i < 16; ++i) {
        p.setPen(QPen(ink, 1));
        p.setBrush(metal);
        p.drawEllipse(terminal_screw(i), 6, 6);
        text(p, QRectF(terminal_left + i * terminal_pitch, terminal_top - 78, terminal_pitch, 12),
             QString::number(i + 1), 9, true, Qt::AlignHCenter);
        p.save();
        p.translate(terminal_left + i * terminal_pitch + 6, terminal_top - 6);
        p.rotate(-90);
        text(p, QRectF(0, 0, 60, 12), QString::fromLatin1(terminals[i].name), 10);
        p.restore();
    }
}

void power_and_battery(QPainter& p) {
    component(p, QRectF(14, 360, 150, 62), QColor(0xE8, 0xE8, 0xF4));
    text(p, QRectF(18, 364, 142, 56), pl("Zasilacz główny\nDC 8 V – 30 V\nprąd > 1,5 A"), 10, true,
         Qt::AlignCenter);
    component(p, QRectF(14, 440, 150, 44), QColor(0xF4, 0xE8, 0xE8));
    text(p, QRectF(18, 444, 142, 36), pl("Akumulator\nrezerwowy"), 10, true, Qt::AlignCenter);
    const QPointF plus = terminal_screw(0), minus = terminal_screw(1);
    const QPointF aku_plus = terminal_screw(2), aku_minus = terminal_screw(3);
    wire(p, QPolygonF{{164, 376}, {plus.x(), 376}, plus}, red);
    wire(p, QPolygonF{{164, 404}, {minus.x(), 404}, minus}, ink);
    wire(p, QPolygonF{{164, 452}, {aku_plus.x(), 452}, aku_plus}, red);
    wire(p, QPolygonF{{164, 474}, {aku_minus.x(), 474}, aku_minus}, ink);
    text(p, QRectF(168, 360, 30, 14), QStringLiteral("+"), 11, true);
    text(p, QRectF(168, 436, 30, 14), QStringLiteral("+"), 11, true);
}

void inputs_and_outputs(QPainter& p) {
    for (int i = 4; i < 12; ++i) {
        const QPointF screw = terminal_screw(i);
        wire(p, QPolygonF{screw, {screw.x(), 360 + (i - 4) * 4.0}}, blue, 1.5);
    }
    text(p, QRectF(270, 396, 190, 30),
         pl("wejścia alarmowe WE1 – WE8\n(czujniki, zwierane do GND)"), 10, false,
         Qt::AlignHCenter);
    for (int i = 12; i < 14; ++i) {
        const QPointF screw = terminal_screw(i);
        wire(p, QPolygonF{screw, {screw.x(), 370}}, board, 1.5);
    }
    text(p, QRectF(470, 372, 110, 30), pl("wyjścia\nWY1, WY2"), 10, false, Qt::AlignLeft);
}

void antenna_and_microphone(QPainter& p) {
    // GSM antenna on top, the microphone to the left, a clearance note.
    wire(p, QPolygonF{{482, 62}, {482, 30}}, ink, 3);
    p.setPen(QPen(ink, 1.5));
    p.drawLine(QPointF(482, 20), QPointF(482, 30));
    p.drawLine(QPointF(472, 22), QPointF(482, 30));
    p.drawLine(QPointF(492, 22), QPointF(482, 30));
    text(p, QRectF(498, 14, 200, 30), pl("antena GSM\n(część promieniująca)"), 10, true);
    wire(p, QPolygonF{{260, 62}, {260, 40}, {110, 40}, {110, 70}}, ink, 2);
    p.setPen(QPen(ink, 1));
    p.setBrush(QColor(0x40, 0x40, 0x40));
    p.drawRoundedRect(QRectF(98, 70, 24, 36), 8, 8);
    text(p, QRectF(40, 110, 140, 16), pl("mikrofon"), 10, true, Qt::AlignHCenter);
    p.setPen(QPen(red, 1, Qt::DashLine));
    p.drawLine(QPointF(130, 22), QPointF(466, 22));
    text(p, QRectF(200, 4, 260, 14), pl("co najmniej 1 m"), 10, false, Qt::AlignHCenter);
}

void mounting_notes(QPainter& p) {
    const QString notes[] = {
        pl("1. Zasilanie główne DC 8 V – 30 V. Zasilacz musi dawać prąd większy niż 1,5 A: "
           "wysyłanie SMS pobiera prąd impulsowo."),
        pl("2. Akumulator rezerwowy jest ładowany napięciem zasilania pomniejszonym o 0,7 V, "
           "prądem co najwyżej 100 mA."),
        pl("3. Mikrofon i jego przewód prowadzić co najmniej 1 m od części promieniującej anteny "
           "GSM."),
        pl("4. Kartę SIM z kodem PIN zmienionym na 1234 włożyć przed włączeniem zasilania "
           "urządzenia."),
    };
    QRectF box(300, 430, 406, 126);
    p.setPen(QPen(ink, 1));
    p.setBrush(note_fill);
    p.drawRect(box);
    double top = box.top() + 4;
    for (const QString& line : notes) {
        text(p, QRectF(box.left() + 6, top, box.width() - 12, 30), line, 10);
        top += 30;
    }
}

QImage draw_mounting() {
    QImage image = canvas(713, 562);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    text(p, QRectF(14, 4, 200, 20), pl("Schemat montażowy"), 15, true);
    antenna_and_microphone(p);
    device_box(p);
    terminal_block(p);
    power_and_battery(p);
    inputs_and_outputs(p);
    mounting_notes(p);
    return image;
}

} // namespace

std::vector<Picture> schematic_pictures() {
    return {
        {QStringLiteral("schematics/cable.jpg"), draw_cable},
        {QStringLiteral("schematics/mounting.jpg"), draw_mounting},
    };
}

} // namespace artwork
