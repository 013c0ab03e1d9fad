#pragma once
// The device line's numbers, the same on every platform. Plain C++.

#include <cstddef>

namespace gnc {

inline constexpr int line_baud_rate = 19200;
inline constexpr int line_bits_per_byte = 10; // start bit, 8 data bits, stop bit
// Driver queue sizes asked for, input and output: the longest frame fits.
inline constexpr int line_queue_size = 520;
// Time beyond a frame's own wire time that a send may wait for the line.
inline constexpr int line_write_margin_ms = 100;

// How long `count` bytes take on the wire, plus the margin: a 516-byte frame
// takes about 270 ms, a 4-byte one about 2 ms.
inline int write_wait_ms(std::size_t count) {
    const auto wire_ms =
        static_cast<int>((count * line_bits_per_byte * 1000 + line_baud_rate - 1) / line_baud_rate);
    return wire_ms + line_write_margin_ms;
}

} // namespace gnc
