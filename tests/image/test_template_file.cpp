// Template files: round trips, short and long files, and failures that must
// leave the image buffer and any existing template intact.

#include "tests/image/image_bytes.h"
#include "tests/image/template_file_support.h"

#include <QDir>

using namespace gnc;
using namespace gnc::test;

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
};

QTEST_APPLESS_MAIN(TemplateFileTest)
#include "test_template_file.moc"
