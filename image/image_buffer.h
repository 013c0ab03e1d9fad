#pragma once
// The 4096-byte image buffer: bytes 0..2047 are the device's settings image,
// bytes 2048..4095 only travel into and out of template files.

#include <array>
#include <cstddef>
#include <cstdint>

namespace gnc {

inline constexpr std::size_t image_buffer_size = 4096;
inline constexpr std::size_t settings_image_size = 2048;
inline constexpr std::size_t page_size = 512;
inline constexpr int settings_page_count = 4;

using ImageBuffer = std::array<std::uint8_t, image_buffer_size>;

} // namespace gnc
