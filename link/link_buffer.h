#pragma once
// The link buffer shared by sending and receiving: frames are composed and
// sent from offset 0, received bytes land from offset 524. Never cleared.

#include <array>
#include <cstddef>
#include <cstdint>

namespace gnc {

inline constexpr std::size_t link_buffer_size = 1048;
inline constexpr std::size_t transmit_offset = 0;
inline constexpr std::size_t receive_offset = 524;
inline constexpr std::size_t receive_limit = 521;

using LinkBuffer = std::array<std::uint8_t, link_buffer_size>;

} // namespace gnc
