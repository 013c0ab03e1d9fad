// The Debian package as an installer gets it: built with cpack from this
// build folder into a temporary folder, its control fields and contents
// listed, unpacked, and every unpacked program asked for --version and
// --help. Skipped where the packaging tools (dpkg-dev) are missing.

#include "gnc_version.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int tool_wait_ms = 180000;
constexpr int program_wait_ms = 20000;

struct Run {
    bool finished = false;
    int exit_code = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments, int wait_ms = tool_wait_ms) {
    QProcess process;
    process.start(program, arguments);
    Run result;
    result.finished = process.waitForFinished(wait_ms);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

const QStringList programs = {QStringLiteral("gsm-notifier-config"),
                              QStringLiteral("gsm-notifier-sim"),
                              QStringLiteral("gsm-notifier-template")};

} // namespace

class TestPackage : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void file_name_carries_version_and_architecture();
    void control_fields_are_filled_and_dependencies_computed();
    void holds_programs_desktop_entry_icons_and_manual_pages();
    void unpacked_programs_answer_version_and_help_data();
    void unpacked_programs_answer_version_and_help();

  private:
    QString field(const QString& name) const;

    std::unique_ptr<QTemporaryDir> folder_;
    QString deb_;
    QString root_; // where the package is unpacked
    QStringList contents_;
};

void TestPackage::initTestCase() {
    for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps", "dpkg"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP("the packaging tools (dpkg-dev) are not installed");
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    // The package is made in the temporary folder, from the programs of this
    // build folder, which it leaves as it was.
    const Run cpack = run(QStringLiteral(CPACK_COMMAND),
                          {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                           QStringLiteral(CPACK_CONFIG), QStringLiteral("-B"), folder_->path()});
    QVERIFY2(cpack.exit_code == 0, qPrintable(cpack.out + cpack.err));
    const QStringList debs = QDir(folder_->path()).entryList({QStringLiteral("*.deb")});
    QCOMPARE(debs.size(), 1);
    deb_ = folder_->filePath(debs.front());

    const Run listing = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb_});
    QCOMPARE(listing.exit_code, 0);
    for (const QString& line : listing.out.split(u'\n', Qt::SkipEmptyParts))
        contents_ << line.section(u' ', -1).remove(0, 1); // "./usr/bin/x" -> "/usr/bin/x"

    root_ = folder_->filePath(QStringLiteral("unpacked"));
    const Run unpack = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb_, root_});
    QVERIFY2(unpack.exit_code == 0, qPrintable(unpack.err));
}

QString TestPackage::field(const QString& name) const {
    return run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb_, name}).out.trimmed();
}

void TestPackage::file_name_carries_version_and_architecture() {
    const QString architecture =
        run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed();
    QVERIFY(!architecture.isEmpty());
    QCOMPARE(QFileInfo(deb_).fileName(),
             QStringLiteral("gsm-notifier-config_%1_%2.deb").arg(GNC_VERSION, architecture));
}

void TestPackage::control_fields_are_filled_and_dependencies_computed() {
    QCOMPARE(field(QStringLiteral("Package")), QStringLiteral("gsm-notifier-config"));
    QCOMPARE(field(QStringLiteral("Version")), QStringLiteral(GNC_VERSION));
    QVERIFY(field(QStringLiteral("Maintainer")).contains(u'@'));
    QVERIFY(field(QStringLiteral("Description")).contains(QStringLiteral("serial cable")));
    const QString depends = field(QStringLiteral("Depends"));
    for (const char* library : {"libc6", "libqt6widgets6", "libqt6serialport6", "libjpeg62-turbo"})
        QVERIFY2(depends.contains(QString::fromLatin1(library)), qPrintable(depends));
    QVERIFY2(!depends.contains(QStringLiteral("libqt6test")), qPrintable(depends));
}

void TestPackage::holds_programs_desktop_entry_icons_and_manual_pages() {
    QStringList expected;
    for (const QString& program : programs) {
        expected << QStringLiteral("/usr/bin/") + program
                 << QStringLiteral("/usr/share/man/man1/%1.1.gz").arg(program);
    }
    expected << QStringLiteral("/usr/share/applications/gsm-notifier-config.desktop");
    for (const int size : {16, 32, 48, 64, 128, 256})
        expected << QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/gsm-notifier-config.png")
                        .arg(size);
    for (const QString& path : expected)
        QVERIFY2(contents_.contains(path), qPrintable(path));
    // Only the three programs: no test or build helper comes along.
    const QStringList binaries =
        contents_.filter(QRegularExpression(QStringLiteral("^/usr/bin/.")));
    QCOMPARE(binaries.size(), programs.size());
    for (const QString& path : contents_)
        QVERIFY2(path.startsWith(QStringLiteral("/usr/")) || path == u'/', qPrintable(path));

    for (const QString& program : programs) {
        const Run page =
            run(QStringLiteral("gzip"),
                {QStringLiteral("-dc"), root_ + QStringLiteral("/usr/share/man/man1/") + program +
                                            QStringLiteral(".1.gz")});
        QVERIFY2(page.out.startsWith(QStringLiteral(".TH ")), qPrintable(program));
        QVERIFY(page.out.contains(QStringLiteral(GNC_VERSION)));
    }
}

void TestPackage::unpacked_programs_answer_version_and_help_data() {
    QTest::addColumn<QString>("program");
    for (const QString& program : programs)
        QTest::newRow(qPrintable(program)) << program;
}

// Each answers at once and ends by itself: the configurator starts no window
// for these (a window would keep it running until the wait gives up).
void TestPackage::unpacked_programs_answer_version_and_help() {
    QFETCH(QString, program);
    const QString path = root_ + QStringLiteral("/usr/bin/") + program;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const Run version = run(path, {QStringLiteral("--version")}, program_wait_ms);
    QVERIFY2(version.finished, "--version did not end");
    QCOMPARE(version.exit_code, 0);
    QCOMPARE(version.out.trimmed(), program + QStringLiteral(" ") + QStringLiteral(GNC_VERSION));
    const Run help = run(path, {QStringLiteral("--help")}, program_wait_ms);
    QVERIFY2(help.finished, "--help did not end");
    QCOMPARE(help.exit_code, 0);
    QVERIFY2(help.out.contains(program), qPrintable(help.out));
}

QTEST_GUILESS_MAIN(TestPackage)
#include "test_package.moc"
