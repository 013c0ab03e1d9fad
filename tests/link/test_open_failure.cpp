// A port that does not open writes one line on stderr with the device, the
// reason and what to do: for a missing device, a device the user may not
// open, a device that another process holds, and a lock left by a process
// that has ended.

#include "link/serial_devices.h"
#include "link/serial_devices_posix.h"
#include "link/serial_port.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <pty.h>
#include <pwd.h>
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

// Runs the probe with COM1 pointed at `device`, as `user_id` where that is
// not -1 (the child drops to that user between fork and exec).
ProbeRun run_probe(const std::string& device, const QTemporaryDir& home, uid_t user_id = -1,
                   gid_t group_id = -1) {
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("GSM_NOTIFIER_COM1", QString::fromStdString(device));
    environment.insert("XDG_CONFIG_HOME", home.path());
    environment.insert("HOME", home.path());
    probe.setProcessEnvironment(environment);
    if (user_id != uid_t(-1)) {
        probe.setChildProcessModifier([user_id, group_id] {
            if (setgroups(0, nullptr) != 0 || setgid(group_id) != 0 || setuid(user_id) != 0) {
                _exit(99);
            }
        });
    }
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

bool no_lock_left_for(const std::string& device) {
    std::string name = device.substr(5); // "/dev/pts/3" -> "pts/3"
    std::replace(name.begin(), name.end(), '/', '_');
    return access(("/run/lock/LCK.." + name).c_str(), F_OK) != 0;
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
    Pty pty;
    QCOMPARE(chmod(pty.path.c_str(), 0), 0);
    uid_t user = getuid();
    gid_t group = getgid();
    if (user == 0) { // root opens anything: try as nobody
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr) {
            QSKIP("no user 'nobody' to drop to");
        }
        user = nobody->pw_uid;
        group = nobody->pw_gid;
    }
    const ProbeRun run = run_probe(pty.path, home, user, group);
    if (run.exit_code == 99) {
        QSKIP("cannot drop privileges here");
    }
    QCOMPARE(run.exit_code, 3);
    QCOMPARE(run.error_output,
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
    std::string name = pty.path.substr(5);
    std::replace(name.begin(), name.end(), '/', '_');
    const std::string lock = "/run/lock/LCK.." + name;
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
    QVERIFY(failure.lock_file.find("LCK.." + name) != std::string::npos);
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
