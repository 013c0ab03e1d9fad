// Template files on POSIX systems: special files that must not load or
// block, write failures, folders without write access, links and modes.

#include "tests/image/image_bytes.h"
#include "tests/image/template_file_support.h"
#include "tests/support/other_user.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace gnc;
using namespace gnc::test;

namespace {

enum class LoadResult { loaded, refused, blocked };

// Loads `path` in a child process; a load still running after two seconds is
// ended and counts as blocked.
LoadResult load_in_child(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        ImageBuffer image;
        image.fill(0xFF);
        const bool loaded = load_template(path, image);
        const bool untouched =
            std::all_of(image.begin(), image.end(), [](std::uint8_t byte) { return byte == 0xFF; });
        _exit(loaded ? 0 : untouched ? 1 : 2);
    }
    int status = 0;
    for (int waited_ms = 0; waited_ms < 2000; waited_ms += 10) {
        if (waitpid(child, &status, WNOHANG) == child) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return LoadResult::loaded;
            return WIFEXITED(status) && WEXITSTATUS(status) == 1 ? LoadResult::refused
                                                                 : LoadResult::blocked;
        }
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return LoadResult::blocked;
}

// Folders for temporary files, in the order tried for one that the user
// without root's rights may enter ($TMPDIR may be a folder of root's own).
std::vector<std::string> temporary_folders() {
    return {QDir::tempPath().toStdString(), "/tmp", "/var/tmp", "/dev/shm"};
}

} // namespace

class TemplateFilePosixTest : public QObject {
    Q_OBJECT

  private slots:
    // Only a regular file loads. A named pipe (with or without a writer), a
    // device and a folder are refused at once, the image untouched; a long
    // file reads its first 4096 bytes just as quickly. Each load runs in a
    // child, so that one that would block cannot hold the test.
    void only_regular_files_load_and_none_blocks() {
        QTemporaryDir dir;
        const std::string fifo = path_in(dir, "x.sbn");
        QVERIFY(::mkfifo(fifo.c_str(), 0600) == 0);
        QVERIFY(QDir(dir.path()).mkdir("folder.sbn"));
        write_file(dir.filePath("long.sbn"), QByteArray(10 * 1024 * 1024, '\x5A'));

        QCOMPARE(load_in_child(fifo), LoadResult::refused);
        const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK); // a writer that never writes
        QVERIFY(writer >= 0);
        QCOMPARE(load_in_child(fifo), LoadResult::refused);
        ::close(writer);
        QCOMPARE(load_in_child("/dev/zero"), LoadResult::refused);
        QCOMPARE(load_in_child(path_in(dir, "folder.sbn")), LoadResult::refused);
        QCOMPARE(load_in_child(path_in(dir, "long.sbn")), LoadResult::loaded);
    }

    // A write cut short by the file-size limit: the old template survives and
    // no temporary file is left. Runs in a child so the limit stays there.
    void save_that_fails_while_writing_keeps_the_old_template() {
        QTemporaryDir dir;
        const QByteArray old_content(4096, '\x11');
        write_file(dir.filePath("stary.sbn"), old_content);
        const std::string target = path_in(dir, "stary.sbn");

        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{1000, 1000};
            setrlimit(RLIMIT_FSIZE, &limit);
            _exit(save_template(target, patterned_image()) ? 1 : 0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0); // the save reported its failure
        QCOMPARE(read_file(dir.filePath("stary.sbn")), old_content);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"stary.sbn"});
    }

    // A template that the user may write, in a shared folder that the user
    // may not: no file can be created beside it, so it is rewritten in place.
    // A new template cannot be saved there, and a template the user may not
    // write stays as it was. Runs as an unprivileged user, as root may write
    // anywhere.
    void save_in_a_folder_the_user_may_not_write() {
        const test::OtherUser user = test::unprivileged_user();
        if (!user.unavailable.empty())
            QSKIP(qPrintable(QString::fromStdString(user.unavailable)));
        const std::string base = test::folder_reachable_by(user, temporary_folders());
        if (base.empty())
            QSKIP("no folder for temporary files that the user without root's rights may enter");
        QTemporaryDir dir(QString::fromStdString(base) + QStringLiteral("/gnc-shared-XXXXXX"));
        QVERIFY(dir.isValid());
        const QString shared = dir.filePath(QStringLiteral("shared"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("shared")));
        write_file(shared + "/writable.sbn", QByteArray(4096, '\x11'));
        write_file(shared + "/locked.sbn", QByteArray(100, '\x22'));
        QVERIFY(::chmod((shared + "/writable.sbn").toLocal8Bit().constData(), 0666) == 0);
        QVERIFY(::chmod((shared + "/locked.sbn").toLocal8Bit().constData(), 0444) == 0);
        QVERIFY(::chmod(shared.toLocal8Bit().constData(), 0555) == 0);
        QVERIFY(::chmod(dir.path().toLocal8Bit().constData(), 0755) == 0);
        const ImageBuffer image = patterned_image();
        const std::string folder = shared.toStdString();
        const auto save_as_user = [&](const char* name) {
            const test::ChildRun run = test::run_as(
                user, [&] { return save_template(folder + "/" + name, image) ? 1 : 0; }, {folder});
            return run.unavailable.empty() ? run.exit_code : -1;
        };

        QCOMPARE(save_as_user("writable.sbn"), 1);
        QCOMPARE(save_as_user("new.sbn"), 0);
        QCOMPARE(save_as_user("locked.sbn"), 0);
        QVERIFY(::chmod(shared.toLocal8Bit().constData(), 0755) == 0);
        QCOMPARE(read_file(shared + "/writable.sbn"), bytes_of(image));
        QCOMPARE(read_file(shared + "/locked.sbn"), QByteArray(100, '\x22'));
        QCOMPARE(QDir(shared).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"locked.sbn", "writable.sbn"}));
    }

    // A link whose file does not exist yet: the save creates that file and
    // keeps the link, relative or absolute.
    void save_through_a_dangling_link_creates_its_file() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("store")));
        const QByteArray relative = "store/target.sbn";
        QVERIFY(::symlink(relative.constData(), path_in(dir, "relative.sbn").c_str()) == 0);
        const std::string absolute = path_in(dir, "store/absolute-target.sbn");
        QVERIFY(::symlink(absolute.c_str(), path_in(dir, "absolute.sbn").c_str()) == 0);

        const ImageBuffer image = patterned_image();
        QVERIFY(save_template(path_in(dir, "relative.sbn"), image));
        QVERIFY(save_template(path_in(dir, "absolute.sbn"), image));
        for (const char* link : {"relative.sbn", "absolute.sbn"})
            QVERIFY(QFileInfo(dir.filePath(link)).isSymLink());
        QCOMPARE(read_file(dir.filePath("store/target.sbn")), bytes_of(image));
        QCOMPARE(read_file(dir.filePath("store/absolute-target.sbn")), bytes_of(image));
    }

    void save_over_an_existing_template_keeps_its_mode_and_links() {
        QTemporaryDir dir;
        write_file(dir.filePath("a.sbn"), "old");
        QVERIFY(::chmod(dir.filePath("a.sbn").toLocal8Bit().constData(), 0640) == 0);
        QVERIFY(QFile::link(dir.filePath("a.sbn"), dir.filePath("link.sbn")));

        const ImageBuffer image = patterned_image();
        QVERIFY(save_template(path_in(dir, "link.sbn"), image));
        QVERIFY(QFileInfo(dir.filePath("link.sbn")).isSymLink());
        QCOMPARE(read_file(dir.filePath("a.sbn")), bytes_of(image));
        struct stat info {};
        QVERIFY(::stat(dir.filePath("a.sbn").toLocal8Bit().constData(), &info) == 0);
        QCOMPARE(info.st_mode & 07777, mode_t{0640});
    }
};

QTEST_APPLESS_MAIN(TemplateFilePosixTest)
#include "test_template_file_posix.moc"
