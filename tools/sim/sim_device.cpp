#include "sim_device.h"

#include "link/frames.h"

#include <algorithm>
#include <cstdio>

namespace gnc::sim {

namespace {

// A partial frame that gets no further bytes for this long is given up.
constexpr auto stale_partial = std::chrono::milliseconds(2000);

std::string page_text(std::uint8_t page) {
    char text[8];
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(page));
    return text;
}

} // namespace

SimDevice::SimDevice(const Options& options, const Memory& memory, Log log, Save save)
    : options_(options), memory_(memory), log_(std::move(log)), save_(std::move(save)),
      requests_to_ignore_(options.ignore_requests), corrupt_next_reply_(options.corrupt_check),
      misplace_next_reply_(options.wrong_page) {}

void SimDevice::power_on(Clock::time_point now) {
    received_.clear();
    scheduled_.clear();
    offering_ = true;
    next_offer_ = now;
    log_("line opened: offering the connect frame");
}

bool SimDevice::silent() const {
    return options_.silent_after >= 0 && frames_received_ >= options_.silent_after;
}

void SimDevice::receive(const std::uint8_t* data, std::size_t count, Clock::time_point now) {
    received_.insert(received_.end(), data, data + count);
    last_receive_ = now;
    parse_frames(now);
}

void SimDevice::parse_frames(Clock::time_point now) {
    while (!received_.empty() && take_frame(now)) {
    }
}

bool SimDevice::take_frame(Clock::time_point now) {
    auto drop_first = [this] {
        log_("rx stray byte dropped");
        received_.erase(received_.begin());
        return true;
    };
    // A partial frame waits for the rest of its bytes, but not for ever.
    auto wait_or_give_up = [&] {
        return now - last_receive_ >= stale_partial ? drop_first() : false;
    };
    if (received_[0] != frame_start) {
        return drop_first();
    }
    if (received_.size() < 2) {
        return wait_or_give_up();
    }
    std::size_t size = 0;
    switch (received_[1]) {
    case command_connect:
        size = connect_frame_size;
        break;
    case command_read:
        size = short_frame_size;
        break;
    case command_write:
        size = page_frame_size;
        break;
    default:
        return drop_first();
    }
    if (received_.size() < size) {
        return wait_or_give_up();
    }
    const Bytes frame(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(size));
    const bool valid = size == connect_frame_size
                           ? frame[2] == command_connect
                           : frame[size - 1] == check_byte(frame.data(), size - 1);
    if (!valid) {
        return drop_first();
    }
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(size));
    handle_frame(frame, now);
    return true;
}

void SimDevice::handle_frame(const Bytes& frame, Clock::time_point now) {
    if (silent()) {
        log_("rx frame ignored: the device is silent");
        return;
    }
    ++frames_received_;
    switch (frame[1]) {
    case command_connect:
        on_connect_answer();
        break;
    case command_read:
        on_read_request(frame[2], now);
        break;
    case command_write:
        on_write_frame(frame[2], frame.data() + page_data_offset, now);
        break;
    default:
        break;
    }
    if (options_.hang_up_after >= 0 && frames_received_ >= options_.hang_up_after) {
        hang_up_requested_ = true;
    }
}

void SimDevice::on_connect_answer() {
    log_("rx connect answer");
    offering_ = false;
}

void SimDevice::on_read_request(std::uint8_t page, Clock::time_point now) {
    log_("rx read request, page " + page_text(page));
    if (requests_to_ignore_ > 0) {
        --requests_to_ignore_;
        log_("   left unanswered");
        return;
    }
    std::uint8_t reply_page = page;
    if (misplace_next_reply_) {
        misplace_next_reply_ = false;
        reply_page = static_cast<std::uint8_t>((page + 1) % memory_page_count);
    }
    Bytes reply = page_reply(reply_page);
    if (corrupt_next_reply_) {
        corrupt_next_reply_ = false;
        reply.back() ^= 0xFF;
        log_("   reply with a corrupt check byte");
    }
    log_("   page reply, page " + page_text(reply_page));
    schedule(std::move(reply), now);
}

Bytes SimDevice::page_reply(std::uint8_t page) const {
    Bytes reply(page_frame_size, 0xFF);
    reply[0] = frame_start;
    reply[1] = command_read;
    reply[2] = page;
    if (page < memory_page_count) {
        const auto first = memory_.begin() + static_cast<std::ptrdiff_t>(page * page_size);
        std::copy(first, first + static_cast<std::ptrdiff_t>(page_size),
                  reply.begin() + page_data_offset);
    }
    reply.back() = check_byte(reply.data(), page_frame_size - 1);
    return reply;
}

void SimDevice::on_write_frame(std::uint8_t page, const std::uint8_t* data, Clock::time_point now) {
    log_("rx write frame, page " + page_text(page));
    if (page < memory_page_count) {
        std::copy(data, data + page_size,
                  memory_.begin() + static_cast<std::ptrdiff_t>(page * page_size));
        if (page == options_.corrupt_store_page) {
            memory_[page * page_size] ^= 0x01;
            log_("   stored with its first byte changed");
        }
        save_(memory_);
    }
    if (options_.never_ack) {
        log_("   not acknowledged");
        return;
    }
    const std::uint8_t check = static_cast<std::uint8_t>(command_write ^ page);
    schedule({frame_start, command_write, page, check}, now);
    log_("   acknowledgement, page " + page_text(page));
}

void SimDevice::schedule(Bytes bytes, Clock::time_point now) {
    scheduled_.push_back(
        {now + std::chrono::milliseconds(options_.reply_delay_ms), std::move(bytes)});
}

Bytes SimDevice::take_due(Clock::time_point now) {
    Bytes due;
    if (offering_ && !silent() && now >= next_offer_) {
        due = {frame_start, command_connect, command_connect};
        next_offer_ = now + std::chrono::milliseconds(options_.offer_interval_ms);
        log_("tx connect frame");
    }
    while (!scheduled_.empty() && scheduled_.front().due <= now) {
        const Bytes& bytes = scheduled_.front().bytes;
        due.insert(due.end(), bytes.begin(), bytes.end());
        scheduled_.pop_front();
    }
    if (!received_.empty()) {
        parse_frames(now); // gives up a stale partial frame
    }
    return due;
}

int SimDevice::ms_until_due(Clock::time_point now) const {
    std::vector<Clock::time_point> moments;
    if (offering_ && !silent()) {
        moments.push_back(next_offer_);
    }
    if (!scheduled_.empty()) {
        moments.push_back(scheduled_.front().due);
    }
    if (!received_.empty()) {
        moments.push_back(last_receive_ + stale_partial);
    }
    if (moments.empty()) {
        return -1;
    }
    const auto first = *std::min_element(moments.begin(), moments.end());
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(first - now).count();
    return static_cast<int>(std::max<long long>(wait, 0));
}

} // namespace gnc::sim
