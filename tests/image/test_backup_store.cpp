// Backups of images read from devices: where they go, their names, how many
// are kept, and what happens when the folder cannot be had.

#include "image/backup_store.h"
#include "image/template_file.h"
#include "tests/image/image_bytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace gnc;

namespace {

// 2026-12-08 22:49:01 UTC
constexpr std::time_t a_moment = 1796770141;

std::string name_of(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

} // namespace

class TestBackupStore : public QObject {
    Q_OBJECT
  private slots:
    void folder_follows_xdg_data_home_or_home() {
#ifdef Q_OS_WIN
        QSKIP("Windows keeps the backups in LOCALAPPDATA: the Windows tests check that");
#endif
        const QByteArray saved_data = qgetenv("XDG_DATA_HOME");
        const QByteArray saved_home = qgetenv("HOME");
        qputenv("XDG_DATA_HOME", "/data/home");
        qputenv("HOME", "/home/installer");
        QCOMPARE(backup_folder(), std::string("/data/home/gsm-notifier-config/backups"));
        qputenv("XDG_DATA_HOME", "relative/ignored");
        QCOMPARE(backup_folder(),
                 std::string("/home/installer/.local/share/gsm-notifier-config/backups"));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("HOME");
        QCOMPARE(backup_folder(), std::string());
        QVERIFY(!save_backup(test::filled_image(0x00)).saved);
        qputenv("XDG_DATA_HOME", saved_data);
        qputenv("HOME", saved_home);
    }

    void backups_are_named_by_time_and_never_replaced() {
        QTemporaryDir dir;
        const std::string folder = dir.filePath("deep/backups").toStdString();
        const ImageBuffer first = test::filled_image(0x11);
        const ImageBuffer second = test::filled_image(0x22);
        const BackupResult a = save_backup(first, folder, a_moment);
        const BackupResult b = save_backup(second, folder, a_moment);
        QVERIFY(a.saved && b.saved);
        QCOMPARE(name_of(a.path), std::string("2026-12-08_22-49-01_000.sbn"));
        QCOMPARE(name_of(b.path), std::string("2026-12-08_22-49-01_001.sbn"));
        ImageBuffer loaded{};
        QVERIFY(load_template(a.path, loaded));
        QVERIFY(loaded == first);
        QCOMPARE(list_backups(folder), (std::vector<std::string>{b.path, a.path}));
        // Nothing else is left behind in the folder.
        QCOMPARE(QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden).size(),
                 2);
    }

    void only_the_newest_are_kept_and_other_files_are_left_alone() {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString();
        QFile other(dir.filePath("notes.sbn"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        std::string newest;
        for (std::size_t i = 0; i < backups_kept + 3; ++i) {
            newest = save_backup(test::filled_image(0x00), folder,
                                 a_moment + static_cast<std::time_t>(i))
                         .path;
        }
        const std::vector<std::string> kept = list_backups(folder);
        QCOMPARE(kept.size(), backups_kept);
        QCOMPARE(kept.front(), newest);
        QCOMPARE(name_of(kept.back()), std::string("2026-12-08_22-49-04_000.sbn"));
        QVERIFY(other.exists());
    }

    void an_unusable_folder_is_reported_not_thrown() {
        QTemporaryDir dir;
        QFile file(dir.filePath("not-a-folder"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const BackupResult result = save_backup(
            test::filled_image(0x00), file.fileName().toStdString() + "/backups", a_moment);
        QVERIFY(!result.saved);
        QVERIFY(result.error.find("not-a-folder") != std::string::npos);
        QVERIFY(list_backups(file.fileName().toStdString()).empty());
    }
};

QTEST_APPLESS_MAIN(TestBackupStore)
#include "test_backup_store.moc"
