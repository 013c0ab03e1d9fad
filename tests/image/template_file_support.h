#pragma once
// Helpers shared by the template file tests of every system.

#include "image/decoder.h"
#include "image/template_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace gnc::test {

inline QByteArray bytes_of(const ImageBuffer& image, std::size_t from = 0,
                           std::size_t count = image_buffer_size) {
    return QByteArray(reinterpret_cast<const char*>(image.data() + from),
                      static_cast<qsizetype>(count));
}

inline void write_file(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

inline QByteArray read_file(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every byte value, 0x00, 0x1A and 0xFF included, at varied offsets.
inline ImageBuffer patterned_image() {
    ImageBuffer image;
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    return image;
}

inline Settings decoded(const ImageBuffer& image) {
    Settings s;
    decode_parameters(image, s);
    odczytaj_uzytkownikow(image, s);
    decode_texts(image, s);
    return s;
}

inline std::string path_in(const QTemporaryDir& dir, const char* name) {
    return dir.filePath(name).toStdString();
}

} // namespace gnc::test
