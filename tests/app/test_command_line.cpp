// The configurator's options: --version and --help answered in-process, and
// the built program's --list-ports run without any display, reporting the
// environment and the ports file of a temporary configuration folder.

#include "app/command_line.h"
#include "gnc_version.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sstream>

using namespace gnc;

namespace {

std::optional<int> run(std::vector<std::string> arguments, std::string& output) {
    arguments.insert(arguments.begin(), "gsm-notifier-config");
    std::ostringstream out;
    const std::optional<int> status = run_command_line(arguments, out);
    output = out.str();
    return status;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
  private slots:
    void version_and_help();
    void other_arguments_open_the_windows();
    void list_ports_runs_without_a_display();
};

void TestCommandLine::version_and_help() {
    std::string output;
    QCOMPARE(run({"--version"}, output), std::optional<int>(0));
    QCOMPARE(output, std::string("gsm-notifier-config ") + GNC_VERSION + "\n");

    for (const char* option : {"--help", "-h"}) {
        QCOMPARE(run({option}, output), std::optional<int>(0));
        for (const char* topic : {"--list-ports", "GSM_NOTIFIER_COM1", "ports.conf", "--version"}) {
            QVERIFY2(output.find(topic) != std::string::npos, topic);
        }
    }
}

void TestCommandLine::other_arguments_open_the_windows() {
    std::string output;
    QCOMPARE(run({}, output), std::nullopt);
    QCOMPARE(run({"-platform", "offscreen"}, output), std::nullopt);
    QCOMPARE(run({"--list-port"}, output), std::nullopt);
    QVERIFY(output.empty());
}

void TestCommandLine::list_ports_runs_without_a_display() {
    QTemporaryDir config;
    QVERIFY(config.isValid());
    QVERIFY(QDir(config.path()).mkpath("gsm-notifier-config"));
    std::ofstream(config.filePath("gsm-notifier-config/ports.conf").toStdString())
        << "COM3=" << config.filePath("adapter").toStdString() << "\nCOM4 /dev/x\n";
    std::ofstream(config.filePath("adapter").toStdString()) << "";

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        environment.remove(display);
    }
    environment.insert("XDG_CONFIG_HOME", config.path());
    environment.insert("GSM_NOTIFIER_COM2", "/nonexistent/ttyUSB5");
    environment.insert("GSM_NOTIFIER_COM3", "");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(GNC_CONFIG_PATH), {"--list-ports"});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 0);
    const QString output = QString::fromLocal8Bit(program.readAllStandardOutput());

    QVERIFY2(output.contains("ports file: " + config.path() + "/gsm-notifier-config/ports.conf"),
             qPrintable(output));
    QVERIFY(output.contains("COM2  /nonexistent/ttyUSB5  [environment]  missing\n"));
    QVERIFY(output.contains("COM3  " + config.filePath("adapter") +
                            "  [configuration file]  present\n"));
    QVERIFY(output.contains("COM8  /dev/ttyS7  [default]"));
    QVERIFY(output.contains("Lines ignored in the ports file (not COMn=DEVICE): 2\n"));
    QVERIFY(output.contains("\nSerial devices found:\n"));
    QCOMPARE(program.readAllStandardError(), QByteArray());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
