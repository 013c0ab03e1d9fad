#include "image/check.h"

namespace gnc {

std::uint8_t check_byte(const std::uint8_t* data, std::size_t count) {
    std::uint8_t check = check_seed;
    for (std::size_t i = 0; i < count; ++i) {
        check ^= data[i];
    }
    return check;
}

std::uint8_t check_byte(const ImageBuffer& image, std::size_t offset, std::size_t count) {
    return check_byte(image.data() + offset, count);
}

bool pair_valid(const ImageBuffer& image, std::size_t offset) {
    return image[offset + 1] == (image[offset] ^ check_seed);
}

void write_pair(ImageBuffer& image, std::size_t offset, std::uint8_t value) {
    image[offset] = value;
    image[offset + 1] = value ^ check_seed;
}

} // namespace gnc
