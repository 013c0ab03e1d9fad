#include "editors/settings_sheet.h"

#include "editors/message_fields.h"
#include "editors/operator_presets.h"
#include "image/cp1250.h"
#include "image/decoder.h"
#include "image/template_file_io.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextOption>

#include <vector>

namespace gnc {

namespace {

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

constexpr int sheet_dpi = 300;
constexpr qreal margin_mm = 14;
constexpr qreal cell_padding_mm = 0.6;

// What an empty value shows, so that a missing number reads as missing
// rather than as a gap in the table.
const QString empty_value = QStringLiteral("\u2014");

// A text of the image as the device holds it: each CP1250 byte as its
// character, except control bytes and the bytes without a character, which
// show as \xNN instead of drawing nothing or a box.
QString shown(const std::string& cp1250) {
    if (cp1250.empty())
        return empty_value;
    QString out;
    for (const unsigned char c : cp1250) {
        const char32_t code_point = cp1250_code_point(c);
        if (c < 0x20 || c == 0x7F || code_point == 0xFFFD)
            out += QString::asprintf("\\x%02X", c);
        else
            out += QChar(static_cast<char16_t>(code_point));
    }
    return out;
}

QString shown_with_unit(const std::string& value, const char* unit) {
    return value.empty() ? empty_value : shown(value) + QLatin1Char(' ') + qs(unit);
}

// A ticked check box of the windows is an X in the report, an unticked one a
// dash.
QString mark(bool ticked) {
    return ticked ? QStringLiteral("X") : QStringLiteral("\u2013");
}

QString operator_name(const std::string& sms_centre) {
    static const char* const names[] = {"ORANGE", "ERA", "PLUS", "PLAY", "INNY"};
    return qs(names[operator_of(sms_centre)]);
}

// "0+" is the mains power lost, "0-" its return; "N+" and "N-" input N's
// activation and deactivation, as the messages window's rows read.
QString event_of_row(const QString& row_label) {
    const bool activation = row_label.endsWith(QLatin1Char('+'));
    const QString input = row_label.left(row_label.size() - 1);
    if (input == QLatin1String("0"))
        return activation ? qs("zanik zasilania") : qs("powrót zasilania");
    return (activation ? qs("aktywacja wejścia ") : qs("dezaktywacja wejścia ")) + input;
}

QStringList face_list() {
    // TrueType faces with the Polish letters, which the PDF writer embeds.
    const QStringList wanted{QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                             QStringLiteral("DejaVu Sans")};
    QStringList found;
    for (const QString& face : wanted) {
        if (QFontDatabase::hasFamily(face))
            found.append(face);
    }
    return found.isEmpty() ? wanted : found;
}

QFont sheet_font(qreal points, bool bold = false) {
    QFont font;
    font.setFamilies(face_list());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct Table {
    std::vector<qreal> widths; // fractions of the line
    std::vector<QStringList> rows;
    bool header = false;  // the first row names the columns
    unsigned centred = 0; // bit n: column n is centred (marks, choices)
};

Table key_values(std::vector<QStringList> rows) {
    return {{0.36, 0.64}, std::move(rows)};
}

// Draws from top to bottom, starting a new page where a block would not fit.
class Sheet {
  public:
    explicit Sheet(QPdfWriter& writer)
        : writer_(writer), painter_(&writer), width_(writer.width()), bottom_(writer.height()) {}

    bool active() const { return painter_.isActive(); }

    void title(const QString& title, const QString& subtitle) {
        y_ += text_block(title, sheet_font(15, true), 0, width_);
        y_ += text_block(subtitle, sheet_font(9), 0, width_) + mm(2);
    }

    void heading(const QString& text) {
        const QFont font = sheet_font(11, true);
        make_room(text_height(text, font, width_) + mm(14));
        y_ += mm(2.5);
        y_ += text_block(text, font, 0, width_) + mm(0.4);
        painter_.setPen(QPen(Qt::black, mm(0.35)));
        painter_.drawLine(QPointF(0, y_), QPointF(width_, y_));
        y_ += mm(0.8);
    }

    void subheading(const QString& text) {
        const QFont font = sheet_font(9, true);
        make_room(text_height(text, font, width_) + mm(9));
        y_ += mm(1.2);
        y_ += text_block(text, font, 0, width_) + mm(0.5);
    }

    void table(const Table& table) {
        for (std::size_t i = 0; i < table.rows.size(); ++i)
            row(table, table.rows[i], table.header && i == 0);
    }

    void signature_line(const QString& caption) {
        const QFont font = sheet_font(8);
        make_room(mm(18));
        y_ += mm(13);
        const qreal left = width_ * 0.55;
        painter_.setPen(QPen(Qt::black, mm(0.25), Qt::DotLine));
        painter_.drawLine(QPointF(left, y_), QPointF(width_, y_));
        y_ += mm(1);
        text_block(caption, font, left, width_ - left, Qt::AlignHCenter);
    }

  private:
    qreal mm(qreal millimetres) const { return millimetres * writer_.resolution() / 25.4; }

    void make_room(qreal height) {
        if (y_ + height <= bottom_ || y_ == 0)
            return;
        writer_.newPage();
        y_ = 0;
        // A page that comes loose still says what it belongs to.
        y_ += text_block(qs("Raport ustawień (ciąg dalszy)"), sheet_font(7.5), 0, width_) + mm(1);
    }

    static QTextOption option(Qt::Alignment alignment) {
        QTextOption option(alignment | Qt::AlignTop);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        return option;
    }

    qreal text_height(const QString& text, const QFont& font, qreal width,
                      Qt::Alignment alignment = Qt::AlignLeft) {
        painter_.setFont(font);
        return painter_.boundingRect(QRectF(0, 0, width, 1e6), text, option(alignment)).height();
    }

    qreal text_block(const QString& text, const QFont& font, qreal left, qreal width,
                     Qt::Alignment alignment = Qt::AlignLeft) {
        const qreal height = text_height(text, font, width, alignment);
        painter_.setPen(Qt::black);
        painter_.drawText(QRectF(left, y_, width, height), text, option(alignment));
        return height;
    }

    void row(const Table& table, const QStringList& cells, bool is_header) {
        const QFont font = sheet_font(is_header ? 7.5 : 8.5, is_header);
        const qreal pad = mm(cell_padding_mm);
        std::vector<qreal> widths;
        qreal height = 0;
        for (std::size_t c = 0; c < table.widths.size(); ++c) {
            widths.push_back(table.widths[c] * width_);
            const QString text = c < static_cast<std::size_t>(cells.size()) ? cells[c] : QString();
            height =
                std::max(height, text_height(text, font, widths[c] - 2 * pad, alignment(table, c)));
        }
        height += 2 * pad;
        make_room(height);
        qreal left = 0;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const QRectF cell(left, y_, widths[c], height);
            painter_.setPen(QPen(QColor(150, 150, 150), mm(0.15)));
            painter_.setBrush(is_header ? QColor(232, 232, 232) : QColor(Qt::transparent));
            painter_.drawRect(cell);
            if (c < static_cast<std::size_t>(cells.size())) {
                painter_.setPen(Qt::black);
                painter_.setFont(font);
                painter_.drawText(cell.adjusted(pad, pad, -pad, -pad), cells[c],
                                  option(alignment(table, c)));
            }
            left += widths[c];
        }
        y_ += height;
    }

    static Qt::Alignment alignment(const Table& table, std::size_t column) {
        return (table.centred >> column) & 1u ? Qt::AlignHCenter : Qt::AlignLeft;
    }

    QPdfWriter& writer_;
    QPainter painter_;
    qreal width_;
    qreal bottom_;
    qreal y_ = 0;
};

QStringList mask_row(const char* caption, std::uint8_t mask, int bits) {
    QStringList row{qs(caption)};
    for (int i = bits - 1; i >= 0; --i)
        row.append(mark((mask >> i) & 1));
    return row;
}

// The parameters window, section by section, top to bottom.
void draw_parameters(Sheet& sheet, const Settings& s) {
    sheet.heading(qs("Parametry ustawień"));
    sheet.subheading(qs("Definiowanie Centrum SMS"));
    sheet.table(
        key_values({{qs("Centrum SMS"), operator_name(s.sms_centre_number) + QStringLiteral(", ") +
                                            shown(s.sms_centre_number)}}));
    sheet.subheading(qs("Definiowanie numerów użytkowników"));
    sheet.table(key_values({{qs("Numer użytkownika 1"), shown(s.user_number_1)},
                            {qs("Numer użytkownika 2"), shown(s.user_number_2)},
                            {qs("Numer użytkownika 3"), shown(s.user_number_3)},
                            {qs("Numer użytkownika 4"), shown(s.user_number_4)}}));

    sheet.subheading(qs("Definiowanie masek"));
    sheet.table({{0.2, 0.2, 0.2, 0.2, 0.2},
                 {{QString(), qs("Użytkownik 1"), qs("Użytkownik 2"), qs("Użytkownik 3"),
                   qs("Użytkownik 4")},
                  mask_row("Maska RING", s.ring_mask, 4),
                  mask_row("Maska SMS", s.sms_mask, 4)},
                 true,
                 ~1u});
    sheet.table({{0.2, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1},
                 {{QString(), qs("wej1"), qs("wej2"), qs("wej3"), qs("wej4"), qs("wej5"),
                   qs("wej6"), qs("wej7"), qs("wej8")},
                  mask_row("Maska wejść", s.input_mask, 8)},
                 true,
                 ~1u});

    sheet.subheading(qs("Definiowanie sterowanie wyjść"));
    const auto steady = [](std::uint8_t on) { return on ? qs("AKTYWNE") : qs("NIEAKTYWNE"); };
    const auto timed = [](std::uint8_t on) { return on ? qs("TAK") : qs("NIE"); };
    sheet.table({{0.2, 0.3, 0.3, 0.2},
                 {{QString(), qs("Wysterowanie wyjścia na stałe"),
                   qs("Automatyczne wysterowanie wyjścia"), qs("sekund")},
                  {qs("wyjście nr 1"), steady(s.output1_steady_on), timed(s.output1_timed_on),
                   shown(s.output1_seconds)},
                  {qs("wyjście nr 2"), steady(s.output2_steady_on), timed(s.output2_timed_on),
                   shown(s.output2_seconds)}},
                 true,
                 ~1u});

    sheet.subheading(qs("Informowanie o stanie konta.   Definioanie  parametrów"));
    sheet.table({{0.36, 0.08, 0.56},
                 {{qs("Informuj o stanie konta"), mark(s.balance_info_on),
                   qs("Numer badania stanu konta: ") + shown(s.balance_query_number)},
                  {qs("Informacja ilościowa:"), mark(s.balance_count_on),
                   shown_with_unit(s.balance_count, "SMS")},
                  {qs("Informacja czasowa"), mark(s.balance_days_on),
                   shown_with_unit(s.balance_days, "dni")}},
                 false,
                 0b10u});

    sheet.subheading(qs("Definiowanie pozostałych parametrów"));
    sheet.table(key_values({{qs("ECHO"), mark(s.echo_on)},
                            {qs("Definicja dobowego limitu SMS"), shown(s.daily_sms_limit)}}));
}

// The messages window: the header, the thirteen alarm rows, the test message.
void draw_messages(Sheet& sheet, const Settings& s) {
    const auto& fields = message_fields();
    sheet.heading(qs("Definiowanie komunikatów alarmowych"));
    sheet.table(key_values({{qs("Nagłówek komunikatu"), shown(s.*fields[header_field].value)}}));
    sheet.subheading(qs("Definicje wejść"));
    Table alarms{{0.07, 0.25, 0.68}, {{QString(), qs("Zdarzenie"), qs("Treść komunikatu")}}, true};
    for (std::size_t i = header_field + 1; i < test_field; ++i) {
        const QString label = qs(fields[i].row_label);
        alarms.rows.push_back({label, event_of_row(label), shown(s.*fields[i].value)});
    }
    sheet.table(alarms);
    sheet.subheading(qs("Definicja wiadomości testowej"));
    sheet.table({{1.0}, {{shown(s.*fields[test_field].value)}}});
    sheet.table(key_values({{qs("Wysyłanie wiadomości testowej"), mark(s.test_message_on)},
                            {qs("Index użytkownika  (1...4)"), shown(s.test_message_user)}}));
}

void draw_sheet(Sheet& sheet, const Settings& s, const SheetOrigin& origin, const QDateTime& when) {
    sheet.title(qs("Raport ustawień"), qs("DOMOWY SYSTEM POWIADOMIENIA SMS"));
    sheet.table(
        key_values({{qs("Data i godzina"), when.toString(QStringLiteral("yyyy-MM-dd HH:mm"))},
                    {qs("Pochodzenie ustawień"), origin.text}}));
    draw_parameters(sheet, s);
    draw_messages(sheet, s);
    sheet.signature_line(qs("data i podpis instalatora"));
}

} // namespace

SheetOrigin template_origin(const QString& template_path) {
    return {qs("szablon ustawień ") + QFileInfo(template_path).fileName()};
}

SheetOrigin device_origin(const std::string& port_name) {
    return {qs("odczyt z urządzenia przez port ") + QString::fromStdString(port_name)};
}

SheetOrigin windows_origin() {
    return {qs("ustawienia wprowadzone w programie")};
}

QByteArray settings_sheet_pdf(const ImageBuffer& image, const SheetOrigin& origin,
                              const QDateTime& when) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(sheet_dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(margin_mm, margin_mm, margin_mm, margin_mm),
                                         QPageLayout::Millimeter));
        writer.setTitle(qs("Raport ustawień"));
        writer.setCreator(QStringLiteral("gsm-notifier-config"));
        Sheet sheet(writer);
        if (!sheet.active())
            return {};
        draw_sheet(sheet, decode_settings(image), origin, when);
    }
    return bytes;
}

bool save_settings_sheet(const std::string& path, const ImageBuffer& image,
                         const SheetOrigin& origin, const QDateTime& when) {
    const QByteArray pdf = settings_sheet_pdf(image, origin, when);
    if (pdf.isEmpty())
        return false;
    return template_io::replace_file(path, reinterpret_cast<const std::uint8_t*>(pdf.constData()),
                                     static_cast<std::size_t>(pdf.size()));
}

} // namespace gnc
