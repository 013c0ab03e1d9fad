// The template inspector run as installers run it: a built binary on files.

#include "image/layout.h"
#include "image/template_file.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace gnc;

namespace {

struct Run {
    int exit_code = -1;
    QByteArray out;
    QByteArray err;
};

Run run_tool(const QStringList& arguments) {
    QProcess process;
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

} // namespace

class TemplateToolTest : public QObject {
    Q_OBJECT

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
        // A header with CP1250 Polish letters, a quote, a backslash and a control character.
        const std::string header = "Dom \xA3\xF3\x64\x9F \"A\"\\\x01";
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
                 QString::fromUtf8("Dom Łódź \"A\"\\\x01"));
        const Run plain = run_tool({"show", QString::fromStdString(path)});
        QVERIFY(plain.out.contains("header_text: Dom Łódź \"A\"\\\\x01\n"));
    }

    void unreadable_files_and_wrong_usage() {
        QTemporaryDir dir;
        const Run missing = run_tool({"show", dir.filePath("missing.sbn")});
        QCOMPARE(missing.exit_code, 1);
        QVERIFY(missing.out.isEmpty());
        QCOMPARE(missing.err, QByteArray("Odczyt pliku nie może być przeprowadzony\n"));
        QCOMPARE(run_tool({"show", dir.path()}).exit_code, 1); // a folder cannot be read

        for (const QStringList& args :
             {QStringList{}, QStringList{"show"}, QStringList{"list", "a.sbn"},
              QStringList{"show", "a.sbn", "b.sbn"}, QStringList{"show", "a.sbn", "--xml"},
              QStringList{"show", "--json"}}) {
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
