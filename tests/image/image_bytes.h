#pragma once
// Small helpers for building settings images byte by byte in tests.

#include "image/image_buffer.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace gnc::test {

inline ImageBuffer filled_image(std::uint8_t byte) {
    ImageBuffer image;
    image.fill(byte);
    return image;
}

inline void put_bytes(ImageBuffer& image, std::size_t offset, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        image[offset + i] = static_cast<std::uint8_t>(bytes[i]);
    }
}

inline void put_zeros(ImageBuffer& image, std::size_t offset, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        image[offset + i] = 0;
    }
}

// XOR of 0xAA and the bytes, computed here independently of the code under test.
inline std::uint8_t xor_check(std::string_view bytes) {
    std::uint8_t check = 0xAA;
    for (char c : bytes) {
        check ^= static_cast<std::uint8_t>(c);
    }
    return check;
}

} // namespace gnc::test
