// Windows icon files: one entry per size, 32-bit device-independent bitmaps
// with their transparency mask, and PNG data for the 256-pixel entry (the
// form Windows expects for that size).

#include "artwork.h"

#include <QBuffer>
#include <QFile>

#include <cstdint>

namespace artwork {

namespace {

void put16(QByteArray& out, std::uint16_t value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

void put32(QByteArray& out, std::uint32_t value) {
    put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(value >> 16));
}

QByteArray png_data(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// BITMAPINFOHEADER (height doubled for the mask), BGRA rows bottom-up, then
// the 1-bit AND mask, each mask row padded to 32 bits.
QByteArray bitmap_data(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    QByteArray out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(size));
    put32(out, static_cast<std::uint32_t>(size * 2));
    put16(out, 1);
    put16(out, 32);
    for (int i = 0; i < 6; ++i)
        put32(out, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x)
            put32(out, image.pixel(x, y));
    const int mask_row_bytes = ((size + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(mask_row_bytes, '\0');
        for (int x = 0; x < size; ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

} // namespace

bool write_ico(const std::vector<QImage>& images, const QString& path) {
    QByteArray header;
    put16(header, 0);
    put16(header, 1); // icon
    put16(header, static_cast<std::uint16_t>(images.size()));
    QByteArray entries;
    QByteArray data;
    const auto first_offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const QImage& image : images) {
        const int size = image.width();
        const QByteArray one = size >= 256 ? png_data(image) : bitmap_data(image);
        entries.append(static_cast<char>(size >= 256 ? 0 : size));
        entries.append(static_cast<char>(size >= 256 ? 0 : size));
        entries.append('\0'); // no palette
        entries.append('\0');
        put16(entries, 1);  // planes
        put16(entries, 32); // bits per pixel
        put32(entries, static_cast<std::uint32_t>(one.size()));
        put32(entries, first_offset + static_cast<std::uint32_t>(data.size()));
        data.append(one);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(header + entries + data) == header.size() + entries.size() + data.size();
}

} // namespace artwork
