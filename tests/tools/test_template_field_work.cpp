// The template tool's field work as installers run it: the built binary
// against the simulated device, with the configurator's real tick intervals
// (a read takes several seconds), and its commands on template files.

#include "image/backup_store.h"
#include "image/image_buffer.h"
#include "image/layout.h"
#include "image/template_file.h"
#include "tests/image/sound_template.h"
#include "tests/support/lock_files.h"
#include "tests/support/pdf_reading.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace gnc;

namespace {

struct Run {
    int exit_code = -1;
    QByteArray out;
    QString err;
};

QByteArray bytes_of(const ImageBuffer& image, std::size_t count = image_buffer_size) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(count));
}

QByteArray file_bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString write_file(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
    }
    return path;
}

// A folder for one test: the simulator's files, the templates, and the data
// home that receives the backups.
struct Bench {
    QTemporaryDir dir;
    QString data_home() const { return dir.filePath(QStringLiteral("data")); }
    QString backups() const { return data_home() + QStringLiteral("/gsm-notifier-config/backups"); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    Run tool(const QStringList& arguments, int timeout_ms = 30000) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), data_home());
        environment.insert(QStringLiteral("GSM_NOTIFIER_COM1"), path("com1"));
        environment.insert(QStringLiteral("GSM_NOTIFIER_COM2"), path("no-such-device"));
        environment.insert(QStringLiteral("GSM_NOTIFIER_COM3"), path("com3"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TEMPLATE_TOOL), arguments);
        if (!process.waitForFinished(timeout_ms)) {
            process.kill();
            process.waitForFinished(5000);
        }
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
    }

    QStringList backup_files() const {
        return QDir(backups()).entryList({QStringLiteral("*.sbn")}, QDir::Files, QDir::Name);
    }
};

// The simulated device on COM1 (through the bench's "com1" link); stopped
// with SIGTERM when the test ends, which removes the link.
class Simulator {
  public:
    Simulator(const Bench& bench, QStringList arguments, const char* link = "com1")
        : bench_(bench) {
        arguments << QStringLiteral("--link") << bench.path(link) << QStringLiteral("--log")
                  << QStringLiteral("--save") << bench.path("device.bin");
        process_.start(QStringLiteral(GNC_SIM_PATH), arguments);
        started_ = process_.waitForStarted(5000) && process_.waitForReadyRead(5000);
    }
    ~Simulator() { stop(); }
    bool started() const { return started_; }
    QByteArray memory() const { return file_bytes(bench_.path("device.bin")); }
    // Everything the simulator logged; stops it first, so the log is complete.
    QString log() {
        stop();
        return QString::fromUtf8(process_.readAllStandardError());
    }

  private:
    const Bench& bench_;
    QProcess process_;
    bool started_ = false;

    void stop() {
        if (process_.state() == QProcess::NotRunning) {
            return;
        }
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
};

QString memory_file(const Bench& bench, const ImageBuffer& image) {
    return write_file(bench.path("memory.bin"), bytes_of(image, settings_image_size));
}

} // namespace

class TestTemplateFieldWork : public QObject {
    Q_OBJECT
  private slots:
    void help_version_and_usage();
    void templates_refused_before_anything_is_sent();
    void diff_and_backups_on_files();
    void an_interrupted_read_releases_the_port();
    void read_then_program_and_verify();
    void a_page_stored_wrongly_fails_verification();
    void unacknowledged_programming_times_out();
    void a_device_that_never_offers();
};

void TestTemplateFieldWork::help_version_and_usage() {
    Bench bench;
    const Run help = bench.tool({"--help"});
    QCOMPARE(help.exit_code, 0);
    for (const char* listed :
         {"read --port", "program --port", "backups", "diff", "--no-verify", "--list-ports",
          "7  verification failed", "report IN.sbn OUT.pdf", "--report OUT.pdf"}) {
        QVERIFY2(help.out.contains(listed), listed);
    }
    // Field work runs where no display is: the tool never loads the widgets
    // (Qt GUI only for the settings report's fonts, drawn off screen).
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {QStringLiteral(TEMPLATE_TOOL)});
    QVERIFY(ldd.waitForFinished(10000));
    const QByteArray libraries = ldd.readAllStandardOutput();
    QVERIFY(libraries.contains("libQt6SerialPort"));
    QVERIFY(!libraries.contains("libQt6Widgets"));

    const Run version = bench.tool({"--version"});
    QCOMPARE(version.exit_code, 0);
    QVERIFY(version.out.startsWith("gsm-notifier-template "));

    // The port names as the configurator's --list-ports shows them.
    const Run ports = bench.tool({"--list-ports"});
    QCOMPARE(ports.exit_code, 0);
    const QByteArray com1_line = "  COM1  " + bench.path("com1").toUtf8() + "  [environment]  ";
    QVERIFY2(ports.out.contains(com1_line), ports.out.constData());
    QVERIFY(ports.out.contains("ports.conf"));

    for (const QStringList& args :
         {QStringList{"read", "out.sbn"}, QStringList{"read", "--port", "COM1"},
          QStringList{"program", "--port"}, QStringList{"read", "--port", "COM1", "a", "b"},
          QStringList{"read", "--port", "COM1", "a.sbn", "--no-verify"},
          QStringList{"backups", "x"}, QStringList{"diff", "a.sbn"},
          QStringList{"diff", "a.sbn", "b.sbn", "--xml"}}) {
        const Run run = bench.tool(args);
        QCOMPARE(run.exit_code, 2);
        QVERIFY(run.err.contains(QStringLiteral("błędne wywołanie")));
    }

    // A port that cannot be opened: no connection, and the device named.
    const QString in = write_file(bench.path("in.sbn"), bytes_of(test::sound_template()));
    const Run busy = bench.tool({"read", "--port", "COM2", bench.path("out.sbn")});
    QCOMPARE(busy.exit_code, 3);
    QVERIFY2(busy.err.contains(bench.path("no-such-device")), qPrintable(busy.err));
    QVERIFY(!QFile::exists(bench.path("out.sbn")));
    QCOMPARE(bench.tool({"program", "--port=COM2", in}).exit_code, 3);
    // A file that could not be saved is found out before the port is opened.
    QCOMPARE(bench.tool({"read", "--port", "COM2", bench.path("no-folder/out.sbn")}).exit_code, 1);
    QCOMPARE(bench.tool({"program", "--port", "COM1", bench.path("missing.sbn")}).exit_code, 1);
}

void TestTemplateFieldWork::templates_refused_before_anything_is_sent() {
    Bench bench;
    Simulator sim(bench, {});
    QVERIFY(sim.started());

    const QString no_centre = write_file(bench.path("no-centre.sbn"),
                                         bytes_of(test::sound_template(test::sound_controls(""))));
    const Run encoder = bench.tool({"program", "--port", "COM1", no_centre});
    QCOMPARE(encoder.exit_code, 6);
    QVERIFY2(encoder.err.contains(QStringLiteral("NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI "
                                                 "CENTRUM SMS")),
             qPrintable(encoder.err));

    ImageBuffer damaged = test::sound_template();
    damaged[input3_activation_slot] ^= 0x01;
    damaged[echo_field] ^= 0x01;
    const QString damaged_file = write_file(bench.path("damaged.sbn"), bytes_of(damaged));
    const Run checks = bench.tool({"program", "--port", "COM1", damaged_file});
    QCOMPARE(checks.exit_code, 6);
    QVERIFY2(checks.err.contains(QStringLiteral("echo_on, input3_activation_text")),
             qPrintable(checks.err));

    const QString log = sim.log();
    QVERIFY2(!log.contains(QStringLiteral("line opened")), qPrintable(log));
    QVERIFY(!log.contains(QStringLiteral("write frame")));
    QVERIFY(bench.backup_files().isEmpty());
}

void TestTemplateFieldWork::diff_and_backups_on_files() {
    Bench bench;
    const ImageBuffer a = test::sound_template();
    EncoderInput changed = test::sound_controls("48601000399");
    changed.messages.texts[0] = "Dom \"1\"";
    const ImageBuffer b = test::sound_template(changed);
    const QString path_a = write_file(bench.path("a.sbn"), bytes_of(a));
    const QString path_b = write_file(bench.path("b.sbn"), bytes_of(b));

    const Run same = bench.tool({"diff", path_a, path_a});
    QCOMPARE(same.exit_code, 0);
    QVERIFY(same.out.isEmpty());

    const Run plain = bench.tool({"diff", path_a, path_b});
    QCOMPARE(plain.exit_code, 1);
    QCOMPARE(plain.out, QByteArray("- sms_centre_number: 48601000310\n"
                                   "+ sms_centre_number: 48601000399\n"
                                   "- header_text: DOM: \n"
                                   "+ header_text: Dom \"1\"\n"));
    const Run json = bench.tool({"diff", "--json", path_a, path_b});
    QCOMPARE(json.exit_code, 1);
    const QJsonObject object = QJsonDocument::fromJson(json.out).object();
    QCOMPARE(object.keys(), (QStringList{"header_text", "sms_centre_number"}));
    QCOMPARE(object["header_text"].toObject()["b"].toString(), QStringLiteral("Dom \"1\""));
    QCOMPARE(bench.tool({"diff", path_a, bench.path("missing.sbn")}).exit_code, 1);

    // Listed newest first with the SMS centre and user 1.
    const Run none = bench.tool({"backups"});
    QCOMPARE(none.exit_code, 0);
    QVERIFY(none.out.isEmpty());
    const std::string folder = bench.backups().toStdString();
    QVERIFY(save_backup(a, folder, 1796770141).saved);
    QVERIFY(save_backup(test::sound_template(test::sound_controls("")), folder, 1796770200).saved);
    const Run listed = bench.tool({"backups"});
    QCOMPARE(listed.exit_code, 0);
    const QStringList lines = QString::fromUtf8(listed.out).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].endsWith(QStringLiteral("2026-12-08_22-50-00_000.sbn  centrum SMS: -  "
                                              "użytkownik 1: 600100200")),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].endsWith(QStringLiteral("_000.sbn  centrum SMS: 48601000310  użytkownik 1: "
                                              "600100200")),
             qPrintable(lines[1]));
}

void TestTemplateFieldWork::an_interrupted_read_releases_the_port() {
    Bench bench;
    Simulator sim(bench, {"--silent-after", "0"});
    QVERIFY(sim.started());
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), bench.data_home());
    environment.insert(QStringLiteral("GSM_NOTIFIER_COM1"), bench.path("com1"));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(TEMPLATE_TOOL), {"read", "--port", "COM1", bench.path("out.sbn")});
    tool.setReadChannel(QProcess::StandardError);
    QVERIFY(tool.waitForReadyRead(10000)); // waiting for the device: the port is open
    QVERIFY(test::lock_file_exists(bench.path("com1")));
    tool.terminate();
    QVERIFY(tool.waitForFinished(10000));
    QCOMPARE(tool.exitStatus(), QProcess::CrashExit); // ended by the signal, as before
    QVERIFY(!test::lock_file_exists(bench.path("com1")));
    QVERIFY(!QFile::exists(bench.path("out.sbn")));
}

void TestTemplateFieldWork::read_then_program_and_verify() {
    Bench bench;
    EncoderInput original = test::sound_controls("48601000555");
    original.parameters.Edit8 = "700800900";
    ImageBuffer device_image = test::sound_template(original);
    device_image[400] = 0x5A; // a gap byte the tool must carry as it is
    Simulator sim(bench, {"--memory", memory_file(bench, device_image)});
    Simulator silent(bench, {"--silent-after", "0"}, "com3"); // passed by with --port auto
    QVERIFY(sim.started() && silent.started());

    const Run read = bench.tool(
        {"read", "--port", "COM1", bench.path("read.sbn"), "--report", bench.path("read.pdf")},
        60000);
    QVERIFY2(read.exit_code == 0, qPrintable(read.err));
    QCOMPARE(test::first_missing_in_order(
                 test::read_pdf(bench.path("read.pdf")).text,
                 {QString::fromUtf8("przez port COM1"), QStringLiteral("INNY, 48601000555")}),
             QString());
    QVERIFY2(read.err.contains(QStringLiteral("Wyłącz i włącz urządzenie")), qPrintable(read.err));
    QVERIFY(read.err.contains(bench.path("com1")));
    ImageBuffer expected = device_image;
    std::fill(expected.begin() + settings_image_size, expected.end(), 0xFF);
    QCOMPARE(file_bytes(bench.path("read.sbn")), bytes_of(expected));
    QCOMPARE(bench.backup_files().size(), 1);

    const ImageBuffer wanted = test::sound_template();
    const QString in = write_file(bench.path("in.sbn"), bytes_of(wanted));
    const Run program = bench.tool({"program", "--port", "auto", in}, 90000);
    QVERIFY2(program.exit_code == 0, qPrintable(program.err));
    QCOMPARE(sim.memory(), bytes_of(wanted, settings_image_size));
    QVERIFY(program.err.contains(QStringLiteral("Weryfikacja zakończona")));
    QVERIFY(program.err.contains("Urządzenie zgłosiło się na porcie COM1 (" + bench.path("com1")));
    QVERIFY(!silent.log().contains("rx"));
    // The device's settings before the programming and after it.
    const QStringList backups = bench.backup_files();
    QCOMPARE(backups.size(), 3);
    QCOMPARE(file_bytes(bench.backups() + "/" + backups[1]), bytes_of(expected));
    const QString log = sim.log();
    // Four pages read for the file, four before and four after the programming.
    QVERIFY(log.count(QStringLiteral("rx write frame")) >= 4);
    QVERIFY(log.count(QStringLiteral("rx read request")) >= 12);
}

void TestTemplateFieldWork::a_page_stored_wrongly_fails_verification() {
    Bench bench;
    Simulator sim(bench, {"--corrupt-store", "0"});
    QVERIFY(sim.started());
    const QString in = write_file(bench.path("in.sbn"), bytes_of(test::sound_template()));
    const Run program = bench.tool({"program", "--port", "COM1", in}, 90000);
    QCOMPARE(program.exit_code, 7);
    QVERIFY2(program.err.contains(QStringLiteral("sms_centre_number")), qPrintable(program.err));
    QVERIFY(program.err.contains(bench.path("com1")));
    QVERIFY(sim.log().contains(QStringLiteral("stored with its first byte changed")));
}

void TestTemplateFieldWork::unacknowledged_programming_times_out() {
    Bench bench;
    Simulator sim(bench, {"--never-ack"});
    QVERIFY(sim.started());
    const QString in = write_file(bench.path("in.sbn"), bytes_of(test::sound_template()));
    const Run program = bench.tool({"program", "--port", "COM1", in}, 90000);
    QCOMPARE(program.exit_code, 5);
    QVERIFY(program.err.contains(bench.path("com1")));
    QCOMPARE(bench.backup_files().size(), 1); // the read before the programming
}

void TestTemplateFieldWork::a_device_that_never_offers() {
    Bench bench;
    Simulator sim(bench, {"--silent-after", "0"});
    QVERIFY(sim.started());
    const Run read = bench.tool({"read", "--port", "COM1", bench.path("out.sbn")}, 60000);
    QCOMPARE(read.exit_code, 3);
    QVERIFY2(read.err.contains(QStringLiteral("Wyłącz i włącz urządzenie")), qPrintable(read.err));
    QVERIFY(read.err.contains(bench.path("com1")));
    QVERIFY(!QFile::exists(bench.path("out.sbn")));
    QVERIFY(bench.backup_files().isEmpty());
    QVERIFY(!test::lock_file_exists(bench.path("com1")));
}

QTEST_GUILESS_MAIN(TestTemplateFieldWork)
#include "test_template_field_work.moc"
