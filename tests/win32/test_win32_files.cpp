// Template files on Windows: names that Windows maps to devices are refused
// without being opened, names beyond the ANSI code page are saved under
// exactly that name, and a save replaces the old file in one step.

#include "image/path_text_win.h"
#include "image/template_file.h"
#include "tests/image/image_bytes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

#include <filesystem>

using namespace gnc;

namespace {

// Every byte value, at varied offsets.
ImageBuffer patterned_image() {
    ImageBuffer image;
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    return image;
}

std::string utf8_path(const QTemporaryDir& dir, const QString& name) {
    return QDir::toNativeSeparators(dir.filePath(name)).toStdString();
}

std::wstring wide_path(const QTemporaryDir& dir, const QString& name) {
    return QDir::toNativeSeparators(dir.filePath(name)).toStdWString();
}

// The names in the folder, read through the wide calls.
QStringList names_in(const std::wstring& folder) {
    QStringList names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name != "." && name != "..") {
            names << name;
        }
    } while (FindNextFileW(search, &found) != 0);
    FindClose(search);
    names.sort();
    return names;
}

QByteArray bytes_of(const ImageBuffer& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()),
                      static_cast<qsizetype>(image.size()));
}

QByteArray read_wide(const std::wstring& path) {
    QFile file(QString::fromStdWString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class Win32FilesTest : public QObject {
    Q_OBJECT

  private slots:
    void device_names_are_recognised() {
        for (const char* device : {"CON",
                                   "prn",
                                   "Aux",
                                   "NUL",
                                   "COM1",
                                   "com9",
                                   "LPT1",
                                   "lpt9",
                                   "AUX.sbn",
                                   "com1.sbn",
                                   "nul.txt",
                                   "NUL.tar.gz",
                                   "nul .sbn",
                                   "CON.",
                                   "con  ",
                                   "COM1:",
                                   "CONIN$",
                                   "conout$",
                                   "C:\\Szablony\\aux.sbn",
                                   "C:/Szablony/Com3.x",
                                   "C:NUL",
                                   "COM\xC2\xB9",
                                   "\\\\.\\NUL",
                                   "\\\\.\\COM1",
                                   "//./PhysicalDrive0",
                                   "\\\\?\\GLOBALROOT\\Device\\Null",
                                   "\\\\.\\pipe\\szablon"}) {
            QVERIFY2(names_a_device(device), device);
        }
        for (const char* file :
             {"COM10.sbn", "com0.sbn", "LPT.sbn", "CONSOLE.sbn", "auxiliary.sbn", "nul_.sbn",
              "xnul.sbn", "C:\\CON\\szablon.sbn", "C:\\Szablony\\biuro.sbn", "szablon",
              "\\\\?\\C:\\Szablony\\nul-kopia.sbn", "\\\\server\\share\\com1-kopia.sbn",
              "\\\\?\\UNC\\server\\share\\a.sbn"}) {
            QVERIFY2(!names_a_device(file), file);
        }
    }

    // The device is never opened: "NUL" would read as an empty file, and a
    // save to it would report success with nothing kept.
    void devices_are_refused_for_load_and_save() {
        QTemporaryDir dir;
        const ImageBuffer before = patterned_image();
        for (const char* device :
             {"NUL", "nul.txt", "AUX.sbn", "com1.sbn", "CON", "LPT1.sbn", "Prn .sbn"}) {
            ImageBuffer image = before;
            QVERIFY2(!load_template(utf8_path(dir, device), image), device);
            QVERIFY(image == before);
            QVERIFY2(!save_template(utf8_path(dir, device), before), device);
        }
        ImageBuffer image = before;
        QVERIFY(!load_template("\\\\.\\NUL", image));
        QVERIFY(!save_template("\\\\.\\NUL", before));
        QVERIFY(image == before);
        QCOMPARE(names_in(QDir::toNativeSeparators(dir.path()).toStdWString()), QStringList());
    }

    // A folder opens only with backup semantics and is never a template, by
    // plain or by "\\?\" name.
    void a_folder_is_refused() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.sbn"));
        ImageBuffer image = patterned_image();
        QVERIFY(!load_template(utf8_path(dir, "folder.sbn"), image));
        QVERIFY(!load_template("\\\\?\\" + utf8_path(dir, "folder.sbn"), image));
        QVERIFY(!save_template(utf8_path(dir, "folder.sbn"), image));
        QCOMPARE(names_in(QDir::toNativeSeparators(dir.path()).toStdWString()),
                 QStringList{"folder.sbn"});
    }

    void polish_letters_and_spaces_round_trip() {
        QTemporaryDir dir;
        const QString folder = QStringLiteral("Łukasz/Szablony");
        QVERIFY(QDir(dir.path()).mkpath(folder));
        const QString name = QStringLiteral("biuro żółć ĄĘŚŹŃ.sbn");
        const std::string path = utf8_path(dir, folder + "/" + name);
        const ImageBuffer original = patterned_image();
        QVERIFY(save_template(path, original));

        // On disk under exactly that UTF-16 name, nothing else beside it.
        QCOMPARE(names_in(wide_path(dir, folder)), QStringList{name});
        const std::filesystem::path wide(wide_path(dir, folder + "/" + name));
        QVERIFY(std::filesystem::is_regular_file(wide));
        QCOMPARE(std::filesystem::file_size(wide), std::uintmax_t{4096});

        ImageBuffer loaded = test::filled_image(0x00);
        QVERIFY(load_template(path, loaded));
        QVERIFY(loaded == original);
        // A "\\?\" name reaches the same file.
        loaded = test::filled_image(0x00);
        QVERIFY(load_template("\\\\?\\" + path, loaded));
        QVERIFY(loaded == original);
    }

    // The old content is replaced in one step and the temporary file is
    // gone; a read-only template is refused and stays as it was; a hidden
    // one stays hidden.
    void save_replaces_an_existing_template() {
        QTemporaryDir dir;
        const std::wstring old_path = wide_path(dir, "stary.sbn");
        QFile old_file(QString::fromStdWString(old_path));
        QVERIFY(old_file.open(QIODevice::WriteOnly));
        old_file.write(QByteArray(100, '\x11'));
        old_file.close();
        const ImageBuffer image = patterned_image();

        QVERIFY(save_template(utf8_path(dir, "stary.sbn"), image));
        QCOMPARE(read_wide(old_path), bytes_of(image));
        QCOMPARE(names_in(QDir::toNativeSeparators(dir.path()).toStdWString()),
                 QStringList{"stary.sbn"});

        QVERIFY(SetFileAttributesW(old_path.c_str(), FILE_ATTRIBUTE_READONLY) != 0);
        QVERIFY(!save_template(utf8_path(dir, "stary.sbn"), test::filled_image(0x22)));
        QCOMPARE(read_wide(old_path), bytes_of(image));
        QCOMPARE(names_in(QDir::toNativeSeparators(dir.path()).toStdWString()),
                 QStringList{"stary.sbn"});

        QVERIFY(SetFileAttributesW(old_path.c_str(), FILE_ATTRIBUTE_HIDDEN) != 0);
        QVERIFY(save_template(utf8_path(dir, "stary.sbn"), test::filled_image(0x33)));
        QCOMPARE(read_wide(old_path), bytes_of(test::filled_image(0x33)));
        QVERIFY((GetFileAttributesW(old_path.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0);
        SetFileAttributesW(old_path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    void bytes_that_are_not_utf8_name_no_file() {
        ImageBuffer image = patterned_image();
        QVERIFY(!load_template("C:\\szablon\xFF.sbn", image));
        QVERIFY(!save_template("C:\\szablon\xFF.sbn", image));
        QCOMPARE(utf8_from_utf16(L"\u0141\u00F3d\u017A"), std::string("Łódź"));
        QVERIFY(utf16_from_utf8("Łódź") == std::wstring(L"\u0141\u00F3d\u017A"));
    }
};

QTEST_APPLESS_MAIN(Win32FilesTest)
#include "test_win32_files.moc"
