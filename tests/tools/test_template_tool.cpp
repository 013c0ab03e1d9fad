// The template inspector run as installers run it: a built binary on files;
// its settings reports read back with poppler's pdftotext.

#include "image/cp1250.h"
#include "image/encoder.h"
#include "image/layout.h"
#include "image/template_file.h"
#include "tests/image/image_bytes.h"
#include "tests/support/pdf_reading.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <utility>
#include <vector>

using namespace gnc;
using namespace gnc::test;

namespace {

struct Run {
    int exit_code = -1;
    QByteArray out;
    QByteArray err;
};

// Run as on a machine without a display (the report draws off screen).
Run run_tool(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TEMPLATE_TOOL), arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QString write_template(const QTemporaryDir& dir, const char* name, const QByteArray& content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
    }
    return path;
}

QJsonObject json_of(const Run& run) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning("JSON: %s", qPrintable(error.errorString()));
    }
    return document.object();
}

const QString default_texts[text_slot_count] = {
    "SYSTEM POWIADOMIENIA SMS: ", "Zanik zasilania",           "Powrot zasilania",
    "Aktywacja wejscia nr 1",     "Dezaktywacja wejscia nr 1", "Aktywacja wejscia nr 2",
    "Dezaktywacja wejscia nr 2",  "Aktywacja wejscia nr 3",    "Dezaktywacja wejscia nr 3",
    "Aktywacja wejscia nr 4",     "Aktywacja wejscia nr 5",    "Aktywacja wejscia nr 6",
    "Aktywacja wejscia nr 7",     "Aktywacja wejscia nr 8",    "Test Systemu SMS",
};

const char* const text_names[text_slot_count] = {
    "header_text",
    "power_loss_text",
    "power_return_text",
    "input1_activation_text",
    "input1_deactivation_text",
    "input2_activation_text",
    "input2_deactivation_text",
    "input3_activation_text",
    "input3_deactivation_text",
    "input4_activation_text",
    "input5_activation_text",
    "input6_activation_text",
    "input7_activation_text",
    "input8_activation_text",
    "test_message_text",
};

void verify_erased_defaults(const QJsonObject& o) {
    QCOMPARE(o.size(), 41);
    for (const char* number : {"sms_centre_number", "user_number_1", "user_number_2",
                               "user_number_3", "user_number_4", "balance_query_number"}) {
        QCOMPARE(o.value(number).toString(QStringLiteral("missing")), QString());
    }
    for (const char* mask : {"sms_mask", "ring_mask", "input_mask"}) {
        QCOMPARE(o.value(mask).toInt(-1), 255);
    }
    QCOMPARE(o.value("echo_on").toInt(-1), 1);
    QCOMPARE(o.value("output1_timed_on").toInt(-1), 0);
    QCOMPARE(o.value("test_message_on").toInt(-1), 0);
    QCOMPARE(o.value("daily_sms_limit").toString(), QStringLiteral("20"));
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        QCOMPARE(o.value(text_names[i]).toString(), default_texts[i]);
    }
}

// An image in which every settings value differs from its fallback and, where
// it can, from its neighbours, so that a value reported under a wrong name shows.
ImageBuffer image_with_every_value_set() {
    EncoderInput in;
    ParametersControls& p = in.parameters;
    p.Edit7 = "48601000310";
    p.Edit8 = "501";
    p.Edit9 = "502";
    p.Edit10 = "503";
    p.Edit11 = "504";
    p.sms_mask_boxes = {true, false, true, false};
    p.ring_mask_boxes = {false, true, false, true};
    p.input_mask_boxes = {true, false, false, false, false, false, false, true};
    p.RadioGroup2 = 0;
    p.RadioGroup3 = 1;
    p.RadioGroup4 = 1;
    p.RadioGroup5 = 0;
    p.Edit12 = "300";
    p.Edit1 = "35";
    p.CheckBox20 = true;
    p.Edit4 = "50";
    p.CheckBox10 = true;
    p.Edit3 = "7";
    p.CheckBox9 = true;
    p.Edit2 = "*101#";
    in.messages.CheckBox1 = true;
    in.messages.Edit11 = "3";
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        in.messages.texts[i] = "T" + std::to_string(i);
    }
    ImageBuffer image;
    image.fill(0xFF);
    Settings settings;
    compose_image(image, settings, in, [](const std::string&) {});
    image[balance_count_flag] = 0; // its value stays valid with the flag off
    return image;
}

// Name and printed value of every settings value, in the order of the report.
const std::vector<std::pair<const char*, const char*>> every_value{
    {"sms_centre_number", "48601000310"},
    {"user_number_1", "501"},
    {"user_number_2", "502"},
    {"user_number_3", "503"},
    {"user_number_4", "504"},
    {"sms_mask", "10"},
    {"ring_mask", "5"},
    {"input_mask", "129"},
    {"echo_on", "0"},
    {"output1_steady_on", "1"},
    {"output2_steady_on", "0"},
    {"output1_timed_on", "0"},
    {"output2_timed_on", "1"},
    {"output1_seconds", "0"},
    {"output2_seconds", "300"},
    {"daily_sms_limit", "35"},
    {"test_message_on", "1"},
    {"test_message_user", "3"},
    {"balance_info_on", "1"},
    {"balance_count_on", "0"},
    {"balance_days_on", "1"},
    {"balance_count_valid", "1"},
    {"balance_count", "50"},
    {"balance_days_valid", "1"},
    {"balance_days", "7"},
    {"balance_query_number", "*101#"},
    {"header_text", "T0"},
    {"power_loss_text", "T1"},
    {"power_return_text", "T2"},
    {"input1_activation_text", "T3"},
    {"input1_deactivation_text", "T4"},
    {"input2_activation_text", "T5"},
    {"input2_deactivation_text", "T6"},
    {"input3_activation_text", "T7"},
    {"input3_deactivation_text", "T8"},
    {"input4_activation_text", "T9"},
    {"input5_activation_text", "T10"},
    {"input6_activation_text", "T11"},
    {"input7_activation_text", "T12"},
    {"input8_activation_text", "T13"},
    {"test_message_text", "T14"},
};

// Texts are JSON strings, flags and masks JSON numbers.
QString json_value_text(const QJsonValue& value) {
    return value.isString() ? value.toString() : QString::number(value.toInt(-1));
}

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QByteArray image_bytes(const ImageBuffer& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(image.size()));
}

// Every number and text as long as the windows let it be, with every mask
// and flag on; or the shortest values with all of them off.
EncoderInput limits(bool on) {
    EncoderInput in;
    ParametersControls& p = in.parameters;
    p.Edit7 = on ? "12345678901234567" : "12";
    p.Edit8 = on ? "11111111111111111" : "21";
    p.Edit9 = p.Edit10 = p.Edit11 = on ? "44444444444444444" : "";
    p.CheckBox17 = p.CheckBox20 = p.CheckBox10 = p.CheckBox9 = on;
    p.sms_mask_boxes.fill(on);
    p.ring_mask_boxes.fill(on);
    p.input_mask_boxes.fill(on);
    p.RadioGroup2 = p.RadioGroup3 = p.RadioGroup4 = p.RadioGroup5 = on ? 0 : 1;
    p.Edit5 = p.Edit12 = on ? "65535" : "";
    p.Edit1 = on ? "9999" : "1";
    p.Edit4 = p.Edit3 = on ? "9999" : "";
    p.Edit2 = on ? "*101*12345678901234#" : "";
    in.messages.CheckBox1 = on;
    in.messages.Edit11 = on ? "4" : "";
    for (std::size_t i = 0; on && i < text_slot_count; ++i) {
        std::string& text = in.messages.texts[i] = "Slot" + std::to_string(i);
        while (text.size() < text_slots[i].longest_text)
            text += " slowo" + std::to_string(text.size());
        text.resize(text_slots[i].longest_text);
    }
    if (on) {
        in.messages.texts[0].replace(0, 11, "Za\xBF\xF3\xB3\xE6 \xA3\xD3\xA6\xC6"); // Zażółć ŁÓŚĆ
        in.messages.texts[1] = std::string(100, '7'); // no blank to wrap at
    }
    return in;
}

// What the report of limits(on) shows, in order.
QStringList expected_values(const EncoderInput& in, bool on) {
    const ParametersControls& p = in.parameters;
    const QString x = on ? qs("X") : qs("–");
    const auto shown = [](const std::string& value) {
        return value.empty() ? qs("—") : QString::fromStdString(cp1250_to_utf8(value));
    };
    QStringList values{qs("INNY, ") + shown(p.Edit7),
                       shown(p.Edit8),
                       shown(p.Edit9),
                       shown(p.Edit11),
                       qs("Maska RING") + x.repeated(4),
                       qs("Maska SMS") + x.repeated(4),
                       qs("Maska wejść") + x.repeated(8),
                       qs("wyjście nr 1") + (on ? qs("AKTYWNE TAK 65535") : qs("NIEAKTYWNE NIE 0")),
                       qs("wyjście nr 2") + (on ? qs("AKTYWNE TAK 65535") : qs("NIEAKTYWNE NIE 0")),
                       qs("Informuj o stanie konta") + x + qs("Numer badania stanu konta: ") +
                           shown(p.Edit2),
                       qs("Informacja ilościowa:") + x + (on ? qs("9999 SMS") : shown("")),
                       qs("Informacja czasowa") + x + (on ? qs("9999 dni") : shown("")),
                       qs("ECHO") + x,
                       qs("Definicja dobowego limitu SMS") + shown(p.Edit1)};
    for (const std::string& text : in.messages.texts)
        values << shown(text);
    return values << qs("Wysyłanie wiadomości testowej") + x
                  << qs("Index użytkownika  (1...4)") + shown(in.messages.Edit11)
                  << qs("podpis instalatora");
}

} // namespace

class TemplateToolTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    // Has the tool report `template_bytes` saved as NAME.sbn, then checks
    // that the report holds `expected` in order, on at most `most_pages`
    // pages, with embedded fonts and nothing unreadable.
    void verify_report(const QString& name, const QByteArray& template_bytes,
                       const QStringList& expected, int most_pages = 1) {
        const QString sbn = write_template(dir, qPrintable(name + qs(".sbn")), template_bytes);
        const QString pdf = dir.filePath(name + qs(".pdf"));
        const Run run = run_tool({qs("report"), sbn, pdf});
        QVERIFY2(run.exit_code == 0, run.err.constData());
        const PdfReading reading = read_pdf(pdf);
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        const QString missing = first_missing_in_order(
            reading.text, QStringList{qs("szablon ustawień ") + name + qs(".sbn")} + expected);
        QVERIFY2(missing.isEmpty(), qPrintable(qs("not found in order: ") + missing));
        QVERIFY(reading.fonts_embedded);
        QVERIFY(reading.pages >= 1 && reading.pages <= most_pages);
        QVERIFY(!reading.text.contains(
            QRegularExpression(QStringLiteral("[\\x{FFFD}\\x00-\\x08\\x0B\\x0E-\\x1F]"))));
    }

  private slots:
    void erased_and_empty_templates_give_the_defaults() {
        QTemporaryDir dir;
        const QString erased = write_template(dir, "erased.sbn", QByteArray(4096, '\xFF'));
        const QString empty = write_template(dir, "empty.sbn", {});
        for (const QString& path : {erased, empty}) {
            const Run run = run_tool({"show", path, "--json"});
            QCOMPARE(run.exit_code, 0);
            QVERIFY(run.err.isEmpty());
            verify_erased_defaults(json_of(run));
        }
        const Run plain = run_tool({"show", erased});
        QCOMPARE(plain.exit_code, 0);
        const QList<QByteArray> lines = plain.out.split('\n');
        QCOMPARE(lines.size(), 42); // 41 values and the final newline
        QVERIFY(lines.contains("sms_mask: 255"));
        QVERIFY(lines.contains("daily_sms_limit: 20"));
        QVERIFY(lines.contains("header_text: SYSTEM POWIADOMIENIA SMS: "));
        QVERIFY(lines.contains("user_number_1: "));
    }

    void texts_are_converted_and_escaped() {
        ImageBuffer image;
        image.fill(0xFF);
        // A header with CP1250 Polish letters, a quote, a backslash, a control
        // character and a byte that CP1250 leaves unassigned.
        const std::string header = "Dom \xA3\xF3\x64\x9F \"A\"\\\x01\x81";
        std::fill_n(image.begin() + header_slot, text_slot_size, 0);
        std::uint8_t check = 0xAA;
        for (std::size_t i = 0; i < header.size(); ++i) {
            image[header_slot + i] = static_cast<std::uint8_t>(header[i]);
            check ^= static_cast<std::uint8_t>(header[i]);
        }
        image[header_slot + text_slot_check] = check;
        QTemporaryDir dir;
        const std::string path = dir.filePath("polish.sbn").toStdString();
        QVERIFY(save_template(path, image));

        const Run json = run_tool({"show", "--json", QString::fromStdString(path)});
        QCOMPARE(json.exit_code, 0);
        QCOMPARE(json_of(json).value("header_text").toString(),
                 QString::fromUtf8("Dom Łódź \"A\"\\\x01\uFFFD"));
        // A doubled backslash cannot be taken for the start of an escape.
        const Run plain = run_tool({"show", QString::fromStdString(path)});
        QVERIFY(plain.out.contains("header_text: Dom Łódź \"A\"\\\\\\x01\\x81\n"));
    }

    void every_value_under_its_own_name() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("full.sbn").toStdString();
        QVERIFY(save_template(path, image_with_every_value_set()));

        const Run plain = run_tool({"show", QString::fromStdString(path)});
        QCOMPARE(plain.exit_code, 0);
        QByteArray expected_lines;
        for (const auto& [name, value] : every_value) {
            expected_lines += QByteArray(name) + ": " + value + "\n";
        }
        QCOMPARE(plain.out, expected_lines);

        const Run json = run_tool({"show", QString::fromStdString(path), "--json"});
        QCOMPARE(json.exit_code, 0);
        const QJsonObject o = json_of(json);
        QCOMPARE(o.size(), static_cast<qsizetype>(every_value.size()));
        for (const auto& [name, value] : every_value) {
            QCOMPARE(json_value_text(o.value(name)), QString::fromUtf8(value));
        }
        QVERIFY(o.value("sms_mask").isDouble() && o.value("user_number_1").isString());
        QVERIFY(o.value("output1_seconds").isString()); // a decoded text, not a number
    }

    void a_report_that_cannot_be_written_is_a_failure() {
        QTemporaryDir dir;
        const QString path = write_template(dir, "erased.sbn", QByteArray(4096, '\xFF'));
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(TEMPLATE_TOOL), {"show", path});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(!process.readAllStandardError().isEmpty());
    }

    // A named pipe or a device is not a template: refused at once instead of
    // waiting for a writer or reading zeros without end.
    void special_files_are_refused_at_once() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("x.sbn"));
        QVERIFY(::mkfifo(fifo.toLocal8Bit().constData(), 0600) == 0);
        for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
            QProcess process;
            QElapsedTimer clock;
            clock.start();
            process.start(QStringLiteral(TEMPLATE_TOOL), {"show", path});
            const bool finished = process.waitForFinished(5000);
            if (!finished) {
                process.kill();
                process.waitForFinished();
            }
            QVERIFY2(finished && clock.elapsed() < 3000, qPrintable(path));
            QCOMPARE(process.exitCode(), 1);
            QCOMPARE(process.readAllStandardError(),
                     QByteArray("Odczyt pliku nie może być przeprowadzony\n"));
        }
    }

    void demo_template_fits_one_page() {
        QFile demo(QStringLiteral(DEMO_TEMPLATE));
        QVERIFY(demo.open(QIODevice::ReadOnly));
        verify_report(QStringLiteral("demo"), demo.readAll(),
                      {qs("PLUS, 48601000310"),
                       qs("48600100200"),
                       qs("48600100300"),
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
                       qs("Index użytkownika  (1...4) 1")});
    }

    void fields_at_their_limits() {
        for (const bool on : {true, false}) {
            const EncoderInput in = limits(on);
            ImageBuffer image = filled_image(0xFF);
            Settings settings;
            QStringList messages;
            compose_image(image, settings, in,
                          [&](const std::string& m) { messages << QString::fromStdString(m); });
            QCOMPARE(messages, QStringList()); // values the windows accept
            verify_report(on ? qs("on") : qs("off"), image_bytes(image), expected_values(in, on),
                          2);
        }
    }

    // An empty file reads as 0x1A bytes, which fail every check; control
    // bytes and a byte without a character, under a valid check, show as \xNN.
    void damaged_templates_show_the_fallbacks() {
        QStringList fallbacks{qs("INNY, —"),
                              qs("Numer użytkownika 4 —"),
                              qs("Maska RING X X X X"),
                              qs("wyjście nr 2 NIEAKTYWNE NIE —"),
                              qs("Informacja ilościowa: – —"),
                              qs("ECHO X"),
                              qs("Definicja dobowego limitu SMS 20")};
        for (const TextSlot& slot : text_slots)
            fallbacks << QString::fromLatin1(slot.default_text);
        verify_report(qs("empty"), QByteArray(),
                      fallbacks << qs("Wysyłanie wiadomości testowej –"));

        ImageBuffer odd = filled_image(0xFF);
        const std::string_view header("A\x01"
                                      "B\x81"
                                      "C\x7F\\\0",
                                      8);
        put_bytes(odd, header_slot, header);
        odd[header_slot + 101] = xor_check(header.substr(0, 7));
        verify_report(qs("odd"), image_bytes(odd),
                      {qs("Nagłówek komunikatu A\\x01B\\x81C\\x7F\\")});
    }

    void unreadable_files_and_wrong_usage() {
        QTemporaryDir dir;
        const Run missing = run_tool({"show", dir.filePath("missing.sbn")});
        QCOMPARE(missing.exit_code, 1);
        QVERIFY(missing.out.isEmpty());
        QCOMPARE(missing.err, QByteArray("Odczyt pliku nie może być przeprowadzony\n"));
        QCOMPARE(run_tool({"show", dir.path()}).exit_code, 1); // a folder cannot be read
        const Run unread = run_tool({"report", dir.filePath("missing.sbn"), dir.filePath("x.pdf")});
        QCOMPARE(unread.err, QByteArray("Odczyt pliku nie może być przeprowadzony\n"));
        const QString erased = write_template(dir, "erased.sbn", QByteArray(4096, '\xFF'));
        const Run unwritable = run_tool({"report", erased, dir.filePath("no/x.pdf")});
        QCOMPARE(unwritable.exit_code, 1);
        QCOMPARE(unwritable.err, QByteArray("Operacja zapisu nie powiodła się\n"));

        for (const QStringList& args :
             {QStringList{}, QStringList{"show"}, QStringList{"list", "a.sbn"},
              QStringList{"show", "a.sbn", "b.sbn"}, QStringList{"show", "a.sbn", "--xml"},
              QStringList{"show", "--json"}, QStringList{"report", "a.sbn"}}) {
            const Run run = run_tool(args);
            QCOMPARE(run.exit_code, 2);
            QVERIFY(!run.err.isEmpty());
            QVERIFY(run.out.isEmpty());
        }

        const Run help = run_tool({"--help"});
        QCOMPARE(help.exit_code, 0);
        QVERIFY(help.out.contains("without opening"));
    }
};

QTEST_GUILESS_MAIN(TemplateToolTest)
#include "test_template_tool.moc"
