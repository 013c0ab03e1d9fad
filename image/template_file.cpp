#include "image/template_file.h"

#include "image/template_file_io.h"

#include <algorithm>

namespace gnc {

namespace {

// What a short file's missing bytes read as.
constexpr std::uint8_t past_end_byte = 0x1A;

} // namespace

bool load_template(const std::string& path, ImageBuffer& image) {
    ImageBuffer loaded;
    const long got = template_io::read_regular_file(path, loaded.data(), loaded.size());
    if (got < 0) {
        return false;
    }
    std::fill(loaded.begin() + got, loaded.end(), past_end_byte);
    image = loaded;
    return true;
}

bool save_template(const std::string& path, const ImageBuffer& image) {
    return template_io::replace_file(path, image.data(), image.size());
}

} // namespace gnc
