// The configurator as a fresh program: every way out releases the serial
// port, so that the next program opens the same device and no lock file is
// left; a save under a file-size limit fails with its message instead of the
// program being killed. The program is started through configurator_driver,
// which runs the configurator's own start-up and works its windows.

#include "link/serial_port.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace gnc;

namespace {

// Where Qt keeps the lock file of a serial device given by a path outside /dev.
QString lock_file_for(const QString& device) {
    return QStringLiteral("/var/lock/LCK..") + QString(device).replace(QLatin1Char('/'), '_');
}

QProcessEnvironment program_environment(const QTemporaryDir& home, const QString& com1) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("GSM_NOTIFIER_COM1"), com1);
    return environment;
}

} // namespace

class TestProgramEnds : public QObject {
    Q_OBJECT

  private slots:
    void every_way_out_releases_the_port_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("signal");
        QTest::newRow("exit button") << QStringLiteral("exit-main") << 0;
        QTest::newRow("messages window exit") << QStringLiteral("exit-messages") << 0;
        QTest::newRow("close box") << QStringLiteral("close-box") << 0;
        QTest::newRow("SIGTERM") << QStringLiteral("wait") << int(SIGTERM);
        QTest::newRow("SIGINT") << QStringLiteral("wait") << int(SIGINT);
        QTest::newRow("SIGHUP") << QStringLiteral("wait") << int(SIGHUP);
    }

    void every_way_out_releases_the_port() {
        QFETCH(QString, way);
        QFETCH(int, signal);
        QTemporaryDir home;
        int master = -1;
        int slave = -1;
        char terminal[256] = {};
        QCOMPARE(openpty(&master, &slave, terminal, nullptr, nullptr), 0);
        auto close_terminal = qScopeGuard([&] {
            ::close(master); // kept open until the end, like a device still plugged in
        });
        ::close(slave);
        // COM1 reaches the terminal through a link, as in the demo.
        const QString com1 = home.filePath(QStringLiteral("com1"));
        QVERIFY(QFile::link(QString::fromLocal8Bit(terminal), com1));
        const QString lock_file = lock_file_for(com1);

        QProcess program;
        auto stop_program = qScopeGuard([&] {
            if (program.state() != QProcess::NotRunning) {
                program.kill();
                program.waitForFinished(5000);
            }
            QFile::remove(lock_file);
        });
        program.setProcessEnvironment(program_environment(home, com1));
        program.start(QStringLiteral(CONFIGURATOR_DRIVER), {QStringLiteral("connect"), way});
        QVERIFY(program.waitForStarted(5000));
        QVERIFY(program.waitForReadyRead(20000));
        QCOMPARE(program.readLine().trimmed(), QByteArray("connected"));
        QVERIFY2(QFile::exists(lock_file), qPrintable(lock_file)); // the port is held
        if (signal != 0)
            QCOMPARE(::kill(static_cast<pid_t>(program.processId()), signal), 0);
        else
            program.write("end\n");
        QVERIFY(program.waitForFinished(10000));

        QVERIFY2(!QFile::exists(lock_file), "the lock file was left behind");
        qputenv("GSM_NOTIFIER_COM1", com1.toLocal8Bit());
        SerialPort next;
        QVERIFY(next.open("COM1"));
        next.close();
        QVERIFY(!QFile::exists(lock_file));
    }

    // Under a file-size limit below the template's 4096 bytes the save fails
    // with its message; the program lives on and leaves no file behind.
    void save_under_a_file_size_limit_fails_and_the_program_lives() {
        QTemporaryDir home;
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("szablon.sbn"));
        QProcess program;
        program.setProcessEnvironment(program_environment(home, QStringLiteral("/nonexistent")));
        program.setChildProcessModifier([] {
            const rlimit limit{1000, 1000};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        program.start(QStringLiteral(CONFIGURATOR_DRIVER), {QStringLiteral("save"), target});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(),
                 QString::fromUtf8("Operacja zapisu nie powiodła się"));
        QCOMPARE(
            QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestProgramEnds)
#include "test_program_ends.moc"
