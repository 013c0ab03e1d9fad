#pragma once
// Flags and counters of the exchange with the device, held by the main window.

#include <cstdint>

namespace gnc {

struct LinkState {
    std::uint8_t link_up = 0;
    std::uint8_t connecting_on = 0;
    std::int32_t connect_ticks = 0;
    std::uint8_t answer_connect = 0;
    std::uint8_t watchdog_armed = 0;
    std::int32_t watchdog_ticks = 0;
    std::uint8_t close_connect_pending = 0;
    std::int32_t close_connect_ticks = 0;
    std::uint8_t read_watch_on = 0;
    std::int32_t read_watch_ticks = 0;
    std::uint8_t read_request = 0;
    std::int32_t read_failed = 0;
    std::uint8_t programming_on = 0;
    std::uint8_t program_watch_on = 0;
    std::int32_t program_watch_ticks = 0;
    std::uint8_t page_index = 0;
};

} // namespace gnc
