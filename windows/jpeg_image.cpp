#include "windows/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace gnc {

namespace {

// Pictures larger than this are refused rather than allocated.
constexpr JDIMENSION largest_side = 8192;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void jump_out(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

// Warnings (corrupt data, premature end) are counted, not printed.
void count_warning(j_common_ptr info, int level) {
    if (level < 0)
        ++info->err->num_warnings;
}

struct Decoding {
    jpeg_decompress_struct info;
    ErrorManager errors;
    std::vector<unsigned char> pixels; // RGB, 3 bytes per pixel
    int width = 0;
    int height = 0;
};

bool read_pixels(Decoding& d) {
    jpeg_read_header(&d.info, TRUE);
    if (d.info.image_width == 0 || d.info.image_height == 0 || d.info.image_width > largest_side ||
        d.info.image_height > largest_side)
        return false;
    d.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.info);
    if (d.info.output_components != 3)
        return false;
    d.width = static_cast<int>(d.info.output_width);
    d.height = static_cast<int>(d.info.output_height);
    const std::size_t row_bytes = static_cast<std::size_t>(d.width) * 3;
    d.pixels.assign(row_bytes * static_cast<std::size_t>(d.height), 0);
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = d.pixels.data() + row_bytes * d.info.output_scanline;
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    return d.info.err->num_warnings == 0;
}

// Everything the jump may skip lives in `d`, outside this frame, so no local
// object with a destructor is jumped over.
bool decode_into(Decoding& d, const QByteArray& data) {
    d.info.err = jpeg_std_error(&d.errors.base);
    d.errors.base.error_exit = jump_out;
    d.errors.base.emit_message = count_warning;
    if (setjmp(d.errors.jump) != 0) {
        jpeg_destroy_decompress(&d.info);
        return false;
    }
    jpeg_create_decompress(&d.info);
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    const bool complete = read_pixels(d);
    jpeg_destroy_decompress(&d.info);
    return complete;
}

} // namespace

QImage decode_jpeg(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    Decoding d{};
    if (!decode_into(d, data))
        return {};
    QImage image(d.width, d.height, QImage::Format_RGB888);
    const std::size_t row_bytes = static_cast<std::size_t>(d.width) * 3;
    for (int y = 0; y < d.height; ++y)
        std::copy_n(d.pixels.data() + row_bytes * static_cast<std::size_t>(y), row_bytes,
                    image.scanLine(y));
    return image;
}

QSize fitted_size(QSize picture, QSize box) {
    if (picture.isEmpty() || box.isEmpty())
        return {};
    if (picture.width() <= box.width() && picture.height() <= box.height())
        return picture;
    return picture.scaled(box, Qt::KeepAspectRatio);
}

} // namespace gnc
