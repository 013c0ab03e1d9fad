// A port that does not open writes one line on stderr with the device, the
// reason and what to do: for a missing device, a device the user may not
// open, a device that another process holds, and a lock left by a process
// that has ended.

#include "link/serial_devices.h"
#include "link/serial_devices_posix.h"
#include "link/serial_port.h"
#include "tests/support/lock_files.h"
#include "tests/support/other_user.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace gnc;

namespace {

struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;
    Pty() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            path = name;
        }
    }
    ~Pty() {
        close(master);
        close(slave);
    }
};

struct ProbeRun {
    int exit_code = -1;
    QString error_output;
};

// Runs the probe with COM1 pointed at `device`.
ProbeRun run_probe(const std::string& device, const QTemporaryDir& home) {
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("GSM_NOTIFIER_COM1", QString::fromStdString(device));
    environment.insert("XDG_CONFIG_HOME", home.path());
    environment.insert("HOME", home.path());
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(GNC_PROBE_PATH), {});
    ProbeRun run;
    if (probe.waitForFinished(20000)) {
        run.exit_code = probe.exitCode();
    } else {
        probe.kill();
        probe.waitForFinished();
    }
    run.error_output = QString::fromLocal8Bit(probe.readAllStandardError());
    return run;
}

// What the probe does, in a child that runs as `user`: the probe itself lies
// in the build folder, which that user may not be allowed to enter.
test::ChildRun open_as(const test::OtherUser& user, const std::string& device) {
    return test::run_as(user, [&device] {
        setenv("GSM_NOTIFIER_COM1", device.c_str(), 1);
        QCoreApplication::setApplicationName(QStringLiteral("gsm-notifier-config"));
        SerialPort port;
        return port.open("COM1") ? 0 : 3;
    });
}

bool no_lock_left_for(const std::string& device) {
    return !test::lock_file_exists(QString::fromStdString(device));
}

// A folder the open-failure diagnosis looks for lock files in, that this
// user may write in.
QString writable_lock_folder() {
    for (const QString& folder :
         {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"), QDir::tempPath()}) {
        if (access(folder.toLocal8Bit().constData(), W_OK | X_OK) == 0) {
            return folder;
        }
    }
    return {};
}

} // namespace

class TestOpenFailure : public QObject {
    Q_OBJECT
    QTemporaryDir home;
  private slots:
    void missing_device_points_to_the_port_list();
    void device_held_by_another_process_names_it();
    void device_without_permission_points_to_the_dialout_group();
    void permission_error_found_from_the_system_error();
    void lock_of_an_ended_process_is_named();
    void opened_port_writes_nothing();
};

void TestOpenFailure::missing_device_points_to_the_port_list() {
    const ProbeRun run = run_probe("/nonexistent/ttyUSB7", home);
    QCOMPARE(run.exit_code, 3);
    QCOMPARE(run.error_output,
             QString("gsm-notifier-config: /nonexistent/ttyUSB7: no such device; see the serial "
                     "devices found with: gsm-notifier-config --list-ports\n"));
}

void TestOpenFailure::device_held_by_another_process_names_it() {
    Pty pty;
    qputenv("GSM_NOTIFIER_COM1", pty.path.c_str());
    {
        SerialPort holder;
        QVERIFY(holder.open("COM1"));
        const ProbeRun run = run_probe(pty.path, home);
        QCOMPARE(run.exit_code, 3);
        const QString expected = QString("gsm-notifier-config: %1: in use by process %2 (")
                                     .arg(QString::fromStdString(pty.path))
                                     .arg(getpid());
        QVERIFY2(run.error_output.startsWith(expected), qPrintable(run.error_output));
        QVERIFY(run.error_output.contains("ModemManager and brltty are the usual suspects"));
        QCOMPARE(run.error_output.count('\n'), 1);
    }
    QVERIFY(no_lock_left_for(pty.path));
}

void TestOpenFailure::device_without_permission_points_to_the_dialout_group() {
    const test::OtherUser user = test::unprivileged_user();
    if (!user.unavailable.empty()) {
        QSKIP(qPrintable(QString::fromStdString(user.unavailable)));
    }
    Pty pty;
    QCOMPARE(chmod(pty.path.c_str(), 0), 0);
    const test::ChildRun run = open_as(user, pty.path);
    QVERIFY2(run.unavailable.empty(), run.unavailable.c_str());
    QCOMPARE(run.exit_code, 3);
    QCOMPARE(QString::fromStdString(run.error_output),
             QString("gsm-notifier-config: %1: permission denied; join the dialout group with: "
                     "sudo usermod -aG dialout $USER, then log in again\n")
                 .arg(QString::fromStdString(pty.path)));
    QVERIFY(no_lock_left_for(pty.path));
}

// The same decision from the errno that a failed open leaves, without
// another user: a device that exists, no lock on it, EACCES.
void TestOpenFailure::permission_error_found_from_the_system_error() {
    Pty pty;
    const OpenFailure failure =
        diagnose_open_failure(pty.path, QSerialPort::PermissionError, EACCES, "Permission denied");
    QCOMPARE(failure.problem, OpenProblem::permission);
    QCOMPARE(failure.device, pty.path);
    QCOMPARE(
        diagnose_open_failure("/nonexistent/x", QSerialPort::PermissionError, EACCES, "").problem,
        OpenProblem::missing);
    QCOMPARE(diagnose_open_failure(pty.path, QSerialPort::UnknownError, EIO, "I/O").problem,
             OpenProblem::other);
}

void TestOpenFailure::lock_of_an_ended_process_is_named() {
    Pty pty;
    const pid_t ended = fork();
    if (ended == 0) {
        _exit(0);
    }
    waitpid(ended, nullptr, 0);
    const QString folder = writable_lock_folder();
    if (folder.isEmpty()) {
        QSKIP("no lock folder that this user may write in");
    }
    const QString name = test::lock_file_name(QString::fromStdString(pty.path));
    const std::string lock = (folder + '/' + name).toStdString();
    {
        FILE* file = fopen(lock.c_str(), "w");
        QVERIFY(file != nullptr);
        fprintf(file, "%10d\n", int(ended));
        fclose(file);
    }
    const OpenFailure failure =
        diagnose_open_failure(pty.path, QSerialPort::PermissionError, EEXIST, "");
    unlink(lock.c_str());
    QCOMPARE(failure.problem, OpenProblem::stale_lock);
    QCOMPARE(failure.holder_pid, int(ended));
    QVERIFY(failure.lock_file.find(name.toStdString()) != std::string::npos);
}

void TestOpenFailure::opened_port_writes_nothing() {
    Pty pty;
    const ProbeRun run = run_probe(pty.path, home);
    QCOMPARE(run.exit_code, 0);
    QCOMPARE(run.error_output, QString());
    QVERIFY(no_lock_left_for(pty.path));
}

QTEST_GUILESS_MAIN(TestOpenFailure)
#include "test_open_failure.moc"
