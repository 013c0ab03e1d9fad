// Backups on Windows: they land in %LOCALAPPDATA%\gsm-notifier-config\backups
// (a folder whose name holds Polish letters included) and never replace a
// file that already holds a name.

#include "image/backup_store.h"
#include "image/template_file.h"
#include "tests/image/image_bytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using namespace gnc;

namespace {

// 2026-12-08 22:49:01 UTC
constexpr std::time_t a_moment = 1796770141;

// Set through the wide call: qputenv() would pass the value through the
// ANSI code page.
class LocalAppData {
  public:
    explicit LocalAppData(const QString& value) : saved_(qEnvironmentVariable("LOCALAPPDATA")) {
        _wputenv_s(L"LOCALAPPDATA", value.toStdWString().c_str());
    }
    ~LocalAppData() { _wputenv_s(L"LOCALAPPDATA", saved_.toStdWString().c_str()); }

  private:
    QString saved_;
};

QByteArray content_of(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class Win32BackupsTest : public QObject {
    Q_OBJECT

  private slots:
    void backups_land_in_local_app_data() {
        QTemporaryDir dir;
        const QString base = QDir::toNativeSeparators(dir.filePath(QStringLiteral("Dane żółć")));
        const LocalAppData pointed(base);
        const QString expected = base + QStringLiteral("\\gsm-notifier-config\\backups");
        QCOMPARE(QString::fromStdString(backup_folder()), expected);

        const BackupResult backup = save_backup(test::filled_image(0x42));
        QVERIFY2(backup.saved, backup.error.c_str());
        const QFileInfo saved(QString::fromStdString(backup.path));
        QCOMPARE(QDir::toNativeSeparators(saved.absolutePath()), expected);
        QVERIFY(saved.isFile());
        QCOMPARE(saved.size(), qint64{4096});
        QCOMPARE(list_backups(backup_folder()), std::vector<std::string>{backup.path});
    }

    // A relative LOCALAPPDATA says nothing: the shell's folder is used.
    void a_relative_local_app_data_is_ignored() {
        const LocalAppData pointed(QStringLiteral("relative\\ignored"));
        const QString folder = QString::fromStdString(backup_folder());
        QVERIFY(!folder.isEmpty());
        QVERIFY(!folder.startsWith(QStringLiteral("relative")));
        QVERIFY(folder.endsWith(QStringLiteral("\\gsm-notifier-config\\backups")));
    }

    // A file already under the first name of that second keeps its content;
    // the backup takes the next name.
    void a_taken_name_is_never_replaced() {
        QTemporaryDir dir;
        const QString folder = QDir::toNativeSeparators(dir.filePath(QStringLiteral("kopie")));
        QVERIFY(QDir().mkpath(folder));
        const QString taken = folder + QStringLiteral("\\2026-12-08_22-49-01_000.sbn");
        QFile file(taken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("stara kopia");
        file.close();

        const BackupResult backup =
            save_backup(test::filled_image(0x42), folder.toStdString(), a_moment);
        QVERIFY2(backup.saved, backup.error.c_str());
        QCOMPARE(QFileInfo(QString::fromStdString(backup.path)).fileName(),
                 QStringLiteral("2026-12-08_22-49-01_001.sbn"));
        QCOMPARE(content_of(taken), QByteArray("stara kopia"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
};

QTEST_APPLESS_MAIN(Win32BackupsTest)
#include "test_win32_backups.moc"
