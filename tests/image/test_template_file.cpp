// Template files: round trips, short and long files, and failures that must
// leave the image buffer and any existing template intact.

#include "image/decoder.h"
#include "image/template_file.h"
#include "tests/image/image_bytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace gnc;
using gnc::test::filled_image;

namespace {

QByteArray bytes_of(const ImageBuffer& image, std::size_t from = 0,
                    std::size_t count = image_buffer_size) {
    return QByteArray(reinterpret_cast<const char*>(image.data() + from),
                      static_cast<qsizetype>(count));
}

void write_file(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray read_file(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every byte value, 0x00, 0x1A and 0xFF included, at varied offsets.
ImageBuffer patterned_image() {
    ImageBuffer image;
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    return image;
}

Settings decoded(const ImageBuffer& image) {
    Settings s;
    decode_parameters(image, s);
    odczytaj_uzytkownikow(image, s);
    decode_texts(image, s);
    return s;
}

std::string path_in(const QTemporaryDir& dir, const char* name) {
    return dir.filePath(name).toStdString();
}

} // namespace

class TemplateFileTest : public QObject {
    Q_OBJECT

  private slots:
    void save_and_load_give_back_the_same_bytes() {
        QTemporaryDir dir;
        const ImageBuffer original = patterned_image();
        QVERIFY(save_template(path_in(dir, "ustawienia"), original)); // no extension added
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ustawienia"});
        QCOMPARE(read_file(dir.filePath("ustawienia")), bytes_of(original));

        ImageBuffer loaded = filled_image(0xFF);
        QVERIFY(load_template(path_in(dir, "ustawienia"), loaded));
        QVERIFY(loaded == original);
        QVERIFY(decoded(loaded) == decoded(original));

        // An erased buffer keeps 0xFF in its second half on disk.
        QVERIFY(save_template(path_in(dir, "pusty.sbn"), filled_image(0xFF)));
        QCOMPARE(read_file(dir.filePath("pusty.sbn")), QByteArray(4096, '\xFF'));
    }

    void short_empty_and_long_files() {
        QTemporaryDir dir;
        const ImageBuffer pattern = patterned_image();
        ImageBuffer image = filled_image(0x00);

        write_file(dir.filePath("empty"), {});
        QVERIFY(load_template(path_in(dir, "empty"), image));
        QVERIFY(image == filled_image(0x1A));
        const Settings s = decoded(image);
        QVERIFY(s.sms_centre_number.empty() && s.user_number_1.empty());
        QCOMPARE(s.sms_mask, std::uint8_t{0xFF});
        QCOMPARE(s.input_mask, std::uint8_t{0xFF});
        QCOMPARE(s.echo_on, std::uint8_t{1});
        QCOMPARE(s.daily_sms_limit, std::string("20"));
        QCOMPARE(s.header_text, std::string("SYSTEM POWIADOMIENIA SMS: "));
        QCOMPARE(s.input8_activation_text, std::string("Aktywacja wejscia nr 8"));

        write_file(dir.filePath("half"), bytes_of(pattern, 0, 2048));
        QVERIFY(load_template(path_in(dir, "half"), image));
        QCOMPARE(bytes_of(image, 0, 2048), bytes_of(pattern, 0, 2048));
        QCOMPARE(bytes_of(image, 2048, 2048), QByteArray(2048, '\x1A'));

        write_file(dir.filePath("long"), bytes_of(pattern) + QByteArray(1000, '\x42'));
        QVERIFY(load_template(path_in(dir, "long"), image));
        QVERIFY(image == pattern);
    }

    void failed_load_leaves_the_image_as_it_was() {
        QTemporaryDir dir;
        const ImageBuffer before = patterned_image();
        ImageBuffer image = before;
        QVERIFY(!load_template(path_in(dir, "missing.sbn"), image));
        QVERIFY(image == before);
        // A folder opens but cannot be read.
        QVERIFY(QDir(dir.path()).mkdir("folder.sbn"));
        QVERIFY(!load_template(path_in(dir, "folder.sbn"), image));
        QVERIFY(image == before);
    }

    void save_that_cannot_create_the_file() {
        QTemporaryDir dir;
        write_file(dir.filePath("plik"), "x");
        const ImageBuffer image = patterned_image();
        QVERIFY(!save_template(path_in(dir, "plik/szablon.sbn"), image));
        QVERIFY(!save_template(path_in(dir, "brak/szablon.sbn"), image));
        QVERIFY(QDir(dir.path()).mkdir("folder.sbn"));
        QVERIFY(!save_template(path_in(dir, "folder.sbn"), image));
        QCOMPARE(QDir(dir.path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                     .size(),
                 2); // only "plik" and "folder.sbn"
        QCOMPARE(read_file(dir.filePath("plik")), QByteArray("x"));
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

QTEST_APPLESS_MAIN(TemplateFileTest)
#include "test_template_file.moc"
