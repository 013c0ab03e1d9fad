// The settings report as the template tool writes it, read back with
// poppler's pdftotext: every value of the demo template and of templates at
// the limits of their fields, in the order of the windows; the fallbacks of
// damaged templates; and the failures.

#include "image/cp1250.h"
#include "image/encoder.h"
#include "image/layout.h"
#include "tests/image/image_bytes.h"
#include "tests/support/pdf_reading.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace gnc;
using namespace gnc::test;

namespace {

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string cp1250(const QString& text) {
    std::string out;
    for (const QChar c : text)
        out += static_cast<char>(cp1250_byte_for(c.unicode()));
    return out;
}

// `head` followed by words up to exactly `length` characters.
QString long_text(const QString& head, int length) {
    QString text = head;
    while (text.size() < length)
        text += QStringLiteral(" slowo%1").arg(text.size());
    return text.left(length);
}

const QStringList row_labels{"0+", "0-", "1+", "1-", "2+", "2-", "3+",
                             "3-", "4+", "5+", "6+", "7+", "8+"};
const QStringList row_events{
    qs("zanik zasilania"),        qs("powrót zasilania"),       qs("aktywacja wejścia 1"),
    qs("dezaktywacja wejścia 1"), qs("aktywacja wejścia 2"),    qs("dezaktywacja wejścia 2"),
    qs("aktywacja wejścia 3"),    qs("dezaktywacja wejścia 3"), qs("aktywacja wejścia 4"),
    qs("aktywacja wejścia 5"),    qs("aktywacja wejścia 6"),    qs("aktywacja wejścia 7"),
    qs("aktywacja wejścia 8")};

// The settings of a template at the limits: every number and text as long as
// the windows let it be, every mask and flag `on`, or all of them off with
// the shortest values.
struct Limits {
    EncoderInput controls;
    QStringList texts; // header, thirteen alarms, test message
};

Limits limits(bool on) {
    Limits l;
    ParametersControls& p = l.controls.parameters;
    p.Edit7 = on ? "12345678901234567" : "12";
    p.Edit8 = on ? "11111111111111111" : "21";
    p.Edit9 = on ? "22222222222222222" : "";
    p.Edit10 = on ? "33333333333333333" : "";
    p.Edit11 = on ? "44444444444444444" : "";
    p.CheckBox17 = on;
    p.sms_mask_boxes.fill(on);
    p.ring_mask_boxes.fill(on);
    p.input_mask_boxes.fill(on);
    p.RadioGroup2 = p.RadioGroup3 = p.RadioGroup4 = p.RadioGroup5 = on ? 0 : 1;
    p.Edit5 = p.Edit12 = on ? "65535" : "";
    p.Edit1 = on ? "9999" : "1";
    p.CheckBox20 = p.CheckBox10 = p.CheckBox9 = on;
    p.Edit4 = p.Edit3 = on ? "9999" : "";
    p.Edit2 = on ? "*101*12345678901234#" : "";
    MessagesControls& m = l.controls.messages;
    m.CheckBox1 = on;
    m.Edit11 = on ? "4" : "";
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        QString text;
        if (on && i == 0)
            text = long_text(qs("Zażółć gęślą jaźń ŻÓŁĆ"), 50);
        else if (on && i == 1)
            text = QStringLiteral("0123456789").repeated(10); // no blank to wrap at
        else if (on)
            text = long_text(QStringLiteral("Tekst %1").arg(i), 100);
        l.texts.append(text);
        m.texts[i] = cp1250(text);
    }
    return l;
}

QStringList expected_values(const Limits& l, bool on) {
    const QString x = on ? QStringLiteral("X") : qs("–");
    const QString none = qs("—");
    const QStringList shown_texts = [&] {
        QStringList texts = l.texts;
        for (QString& text : texts)
            text = text.isEmpty() ? none : text;
        return texts;
    }();
    QStringList values{
        on ? QStringLiteral("INNY, 12345678901234567") : QStringLiteral("INNY, 12"),
        qs("Numer użytkownika 1"),
        on ? QStringLiteral("11111111111111111") : QStringLiteral("21"),
        on ? QStringLiteral("22222222222222222") : none,
        on ? QStringLiteral("33333333333333333") : none,
        on ? QStringLiteral("44444444444444444") : none,
        QStringLiteral("Maska RING") + x.repeated(4),
        QStringLiteral("Maska SMS") + x.repeated(4),
        qs("Maska wejść") + x.repeated(8),
        on ? qs("wyjście nr 1 AKTYWNE TAK 65535") : qs("wyjście nr 1 NIEAKTYWNE NIE 0"),
        on ? qs("wyjście nr 2 AKTYWNE TAK 65535") : qs("wyjście nr 2 NIEAKTYWNE NIE 0"),
        qs("Informuj o stanie konta") + x + qs("Numer badania stanu konta: ") +
            (on ? QStringLiteral("*101*12345678901234#") : none),
        qs("Informacja ilościowa:") + x + (on ? QStringLiteral("9999 SMS") : none),
        qs("Informacja czasowa") + x + (on ? QStringLiteral("9999 dni") : none),
        QStringLiteral("ECHO") + x,
        qs("Definicja dobowego limitu SMS") + (on ? QStringLiteral("9999") : QStringLiteral("1")),
        qs("Nagłówek komunikatu") + shown_texts[0]};
    for (int row = 0; row < row_labels.size(); ++row)
        values.append(row_labels[row] + row_events[row] + shown_texts[row + 1]);
    values << shown_texts[14] << qs("Wysyłanie wiadomości testowej") + x
           << qs("Index użytkownika  (1...4)") + (on ? QStringLiteral("4") : none)
           << QStringLiteral("podpis instalatora");
    return values;
}

struct ToolRun {
    int exit_code = -1;
    QString err;
};

// Run as on a machine without a display: the tool draws off screen.
ToolRun run_tool(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TEMPLATE_TOOL), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

bool write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray bytes_of(const ImageBuffer& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(image.size()));
}

} // namespace

class TestSettingsReport : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    // Writes `template_bytes` as NAME.sbn, has the tool report it, and reads
    // the report back.
    PdfReading report_of(const QString& name, const QByteArray& template_bytes) {
        const QString sbn = dir.filePath(name + QStringLiteral(".sbn"));
        const QString pdf = dir.filePath(name + QStringLiteral(".pdf"));
        if (!write_file(sbn, template_bytes))
            return {QStringLiteral("cannot write ") + sbn};
        const ToolRun run = run_tool({QStringLiteral("report"), sbn, pdf});
        if (run.exit_code != 0)
            return {QStringLiteral("report failed: ") + run.err};
        return read_pdf(pdf);
    }

    static void verify_reading(const PdfReading& reading, const QStringList& expected,
                               int most_pages) {
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        const QString missing = first_missing_in_order(reading.text, expected);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not found in order: ") + missing +
                                               QStringLiteral("\n") + reading.text));
        QVERIFY(reading.fonts_embedded);
        QVERIFY2(reading.pages >= 1 && reading.pages <= most_pages,
                 qPrintable(QString::number(reading.pages)));
        // Nothing the reader could not map to a character, no stray controls.
        QVERIFY(!reading.text.contains(QChar(0xFFFD)));
        QVERIFY(!reading.text.contains(
            QRegularExpression(QStringLiteral("[\\x00-\\x08\\x0B\\x0E-\\x1F]"))));
    }

  private slots:
    void demo_template_fits_one_page() {
        QFile demo(QStringLiteral(DEMO_TEMPLATE));
        QVERIFY(demo.open(QIODevice::ReadOnly));
        const PdfReading reading = report_of(QStringLiteral("demo"), demo.readAll());
        verify_reading(reading,
                       {qs("Raport ustawień"),
                        qs("szablon ustawień demo.sbn"),
                        qs("PLUS, 48601000310"),
                        QStringLiteral("48600100200"),
                        QStringLiteral("48600100300"),
                        qs("Maska RING X – – –"),
                        qs("Maska SMS X X – –"),
                        qs("Maska wejść X X X X X X – –"),
                        qs("wyjście nr 1 NIEAKTYWNE TAK 45"),
                        qs("wyjście nr 2 AKTYWNE NIE 0"),
                        qs("Numer badania stanu konta: *100#"),
                        qs("100 SMS"),
                        qs("7 dni"),
                        qs("ECHO X"),
                        qs("Definicja dobowego limitu SMS 50"),
                        qs("Nagłówek komunikatu DOM LETNISKOWY:"),
                        qs("0+ zanik zasilania Brak zasilania sieciowego 230V"),
                        qs("3- dezaktywacja wejścia 3 Czujka dymu w kuchni - spokoj"),
                        qs("8+ aktywacja wejścia 8 Otwarta brama garazowa"),
                        qs("Test systemu - powiadomienie dziala"),
                        qs("Wysyłanie wiadomości testowej X"),
                        qs("Index użytkownika  (1...4) 1")},
                       1);
    }

    void fields_at_their_limits_data() {
        QTest::addColumn<bool>("on");
        QTest::newRow("longest values, masks and flags on") << true;
        QTest::newRow("shortest values, masks and flags off") << false;
    }

    void fields_at_their_limits() {
        QFETCH(bool, on);
        const Limits l = limits(on);
        ImageBuffer image;
        image.fill(0xFF);
        Settings settings;
        QStringList messages;
        compose_image(image, settings, l.controls,
                      [&](const std::string& m) { messages << QString::fromStdString(m); });
        QCOMPARE(messages, QStringList()); // values the windows accept
        const QString name = on ? QStringLiteral("on") : QStringLiteral("off");
        verify_reading(report_of(name, bytes_of(image)),
                       QStringList{qs("szablon ustawień ") + name + QStringLiteral(".sbn")} +
                           expected_values(l, on),
                       2);
    }

    // An empty file reads as 0x1A bytes, which fail every check; a text slot
    // with control bytes and a byte without a character, under a valid check,
    // is shown with those bytes as \xNN.
    void damaged_templates_show_the_fallbacks() {
        QStringList fallbacks{qs("INNY, —"),
                              qs("Numer użytkownika 4 —"),
                              qs("Maska RING X X X X"),
                              qs("Maska wejść X X X X X X X X"),
                              qs("wyjście nr 2 NIEAKTYWNE NIE —"),
                              qs("Informacja ilościowa: – —"),
                              qs("ECHO X"),
                              qs("Definicja dobowego limitu SMS 20"),
                              qs("Nagłówek komunikatu SYSTEM POWIADOMIENIA SMS:")};
        for (int row = 0; row < row_labels.size(); ++row)
            fallbacks << row_labels[row] + row_events[row] +
                             QString::fromLatin1(text_slots[row + 1].default_text);
        fallbacks << qs("Test Systemu SMS") << qs("Wysyłanie wiadomości testowej –");
        verify_reading(report_of(QStringLiteral("empty"), QByteArray()), fallbacks, 1);

        ImageBuffer odd = filled_image(0xFF);
        const std::string_view header("A\x01"
                                      "B\x81"
                                      "C\x7F"
                                      "\\",
                                      7);
        put_bytes(odd, header_slot, header);
        odd[header_slot + header.size()] = 0;
        odd[header_slot + 101] = xor_check(header);
        verify_reading(report_of(QStringLiteral("odd"), bytes_of(odd)),
                       {qs("Nagłówek komunikatu A\\x01B\\x81C\\x7F\\")}, 1);
    }

    void unreadable_template_and_unwritable_report_fail() {
        ToolRun run = run_tool({QStringLiteral("report"), dir.filePath(QStringLiteral("none.sbn")),
                                dir.filePath(QStringLiteral("none.pdf"))});
        QCOMPARE(run.exit_code, 1);
        QVERIFY2(run.err.contains(qs("Odczyt pliku nie może być przeprowadzony")),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("none.pdf"))));

        QVERIFY(write_file(dir.filePath(QStringLiteral("in.sbn")), QByteArray(4096, '\xFF')));
        run = run_tool({QStringLiteral("report"), dir.filePath(QStringLiteral("in.sbn")),
                        dir.filePath(QStringLiteral("missing/out.pdf"))});
        QCOMPARE(run.exit_code, 1);
        QVERIFY2(run.err.contains(qs("Operacja zapisu nie powiodła się")), qPrintable(run.err));

        run = run_tool({QStringLiteral("report"), dir.filePath(QStringLiteral("in.sbn"))});
        QCOMPARE(run.exit_code, 2);
    }
};

QTEST_GUILESS_MAIN(TestSettingsReport)
#include "test_settings_report.moc"
