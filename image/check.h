#pragma once
// Check bytes and complement pairs: the two protections of the settings image.

#include "image/image_buffer.h"

#include <cstddef>
#include <cstdint>

namespace gnc {

inline constexpr std::uint8_t check_seed = 0xAA;

// 0xAA XOR every byte of the range; an all-zero range gives 0xAA.
std::uint8_t check_byte(const std::uint8_t* data, std::size_t count);

// Check byte over image[offset .. offset + count - 1].
std::uint8_t check_byte(const ImageBuffer& image, std::size_t offset, std::size_t count);

// A complement pair holds v at `offset` and v ^ 0xAA right after it.
bool pair_valid(const ImageBuffer& image, std::size_t offset);
void write_pair(ImageBuffer& image, std::size_t offset, std::uint8_t value);

} // namespace gnc
