#pragma once
// The simulated device's behaviour, apart from the terminal it talks on:
// offers the connect frame after each power-on (a newly opened line) until
// answered, answers read requests with page replies from its 2048-byte
// memory, stores write frames and acknowledges them, with optional faults.

#include "sim_options.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace gnc::sim {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t memory_size = 2048;
inline constexpr int memory_page_count = 4;
using Memory = std::array<std::uint8_t, memory_size>;

class SimDevice {
  public:
    using Log = std::function<void(const std::string&)>;
    using Save = std::function<void(const Memory&)>;

    SimDevice(const Options& options, const Memory& memory, Log log, Save save);

    // The configurator opened the line: behave as a device just switched on.
    void power_on(Clock::time_point now);
    void receive(const std::uint8_t* data, std::size_t count, Clock::time_point now);
    // Bytes whose time has come (offers and answers), in sending order.
    Bytes take_due(Clock::time_point now);
    // Milliseconds until something is due (-1: nothing pending).
    int ms_until_due(Clock::time_point now) const;
    // The line is to be dropped once every answer has gone out.
    bool hang_up_due() const { return hang_up_requested_ && scheduled_.empty(); }

    const Memory& memory() const { return memory_; }
    int frames_received() const { return frames_received_; }

  private:
    struct Scheduled {
        Clock::time_point due;
        Bytes bytes;
    };

    void parse_frames(Clock::time_point now);
    bool take_frame(Clock::time_point now); // false: wait for more bytes
    void handle_frame(const Bytes& frame, Clock::time_point now);
    void on_connect_answer();
    void on_read_request(std::uint8_t page, Clock::time_point now);
    void on_write_frame(std::uint8_t page, const std::uint8_t* data, Clock::time_point now);
    Bytes page_reply(std::uint8_t page) const;
    void schedule(Bytes bytes, Clock::time_point now);
    bool silent() const;

    Options options_;
    Memory memory_;
    Log log_;
    Save save_;

    Bytes received_;
    Clock::time_point last_receive_{};
    std::deque<Scheduled> scheduled_;
    bool offering_ = false;
    Clock::time_point next_offer_{};
    int frames_received_ = 0;
    int requests_to_ignore_ = 0;
    bool corrupt_next_reply_ = false;
    bool misplace_next_reply_ = false;
    bool hang_up_requested_ = false;
};

} // namespace gnc::sim
