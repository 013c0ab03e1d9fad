#include "tests/link/link_fakes.h"

#include "link/frames.h"

#include <algorithm>

namespace gnc::test {

Bytes connect_frame() {
    return {0xAA, 0x01, 0x01};
}

Bytes read_request(std::uint8_t page) {
    return {0xAA, 0x03, page, static_cast<std::uint8_t>(0x03 ^ page)};
}

Bytes acknowledgement(std::uint8_t page) {
    return {0xAA, 0x02, page, static_cast<std::uint8_t>(0x02 ^ page)};
}

Bytes page_reply(std::uint8_t page, const std::uint8_t* data) {
    Bytes reply{0xAA, 0x03, page};
    reply.insert(reply.end(), data, data + page_size);
    std::uint8_t check = 0xAA;
    for (std::uint8_t byte : reply) {
        check ^= byte;
    }
    reply.push_back(check);
    return reply;
}

Bytes page_pattern(std::uint8_t page) {
    Bytes data(page_size);
    for (std::size_t i = 0; i < page_size; ++i) {
        data[i] = static_cast<std::uint8_t>((i * 7 + page * 31 + 1) % 251);
    }
    return data;
}

bool FakePort::open(const std::string& port_name) {
    opened.push_back(port_name);
    is_open = open_result;
    return open_result;
}

void FakePort::send(const std::uint8_t* data, std::size_t count) {
    if (!is_open) {
        return;
    }
    sent.emplace_back(data, data + count);
    if (on_send) {
        on_send(sent.back());
    }
}

std::size_t FakePort::read_available(std::uint8_t* dest, std::size_t limit) {
    const std::size_t count = std::min(limit, incoming.size());
    std::copy_n(incoming.begin(), count, dest);
    incoming.erase(incoming.begin(), incoming.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

FakeDevice::FakeDevice(FakePort& port) : port_(port) {
    for (std::uint8_t page = 0; page < settings_page_count; ++page) {
        const Bytes data = page_pattern(page);
        std::copy(data.begin(), data.end(), memory.begin() + page * page_size);
    }
    port_.on_send = [this](const Bytes& frame) { on_frame(frame); };
}

void FakeDevice::on_frame(const Bytes& frame) {
    const std::uint8_t page = frame.size() > 2 ? frame[2] : 0;
    if (frame.size() == 4 && frame[1] == 0x03) {
        int& ignore = requests_to_ignore[page];
        if (ignore > 0) {
            --ignore;
            return;
        }
        port_.arrive(page_reply(page, memory.data() + page * page_size));
    } else if (frame.size() == page_frame_size && frame[1] == 0x02) {
        write_pages.push_back(page);
        std::copy(frame.begin() + 3, frame.begin() + 3 + page_size,
                  memory.begin() + page * page_size);
        if (acknowledge) {
            port_.arrive(acknowledgement(page));
        }
    }
}

std::string window_name(LinkWindow window) {
    switch (window) {
    case LinkWindow::connect:
        return "connect";
    case LinkWindow::read:
        return "read";
    case LinkWindow::programming:
        return "programming";
    }
    return "?";
}

std::string FakeView::label(LinkWindow window, int number) const {
    const auto found = labels.find({window, number});
    return found == labels.end() ? "" : found->second;
}

void FakeView::set_status_text(const std::string& text) {
    status_history.push_back(text);
    events.push_back("status " + text);
}

void FakeView::set_window_label(LinkWindow window, int label, const std::string& text) {
    labels[{window, label}] = text;
    events.push_back("label " + window_name(window) + " " + std::to_string(label) + " " + text);
}

int FakeView::window_bar_maximum(LinkWindow window) const {
    return window == LinkWindow::connect ? 150 : 100;
}

// Like a progress bar, a value outside the range is ignored.
void FakeView::set_window_bar(LinkWindow window, int value) {
    events.push_back("bar " + window_name(window) + " " + std::to_string(value));
    if (value >= 0 && value <= window_bar_maximum(window)) {
        bars[window] = value;
    }
}

void FakeView::show_window(LinkWindow window) {
    events.push_back("show " + window_name(window));
    open[window] = true;
    if (on_show.count(window)) {
        on_show[window]();
    }
    open[window] = false;
}

void FakeView::close_window(LinkWindow window) {
    events.push_back("close " + window_name(window));
    open[window] = false;
}

void FakeView::show_link_lost_notice() {
    ++notices;
    events.push_back("notice");
    if (on_notice) {
        on_notice();
    }
    events.push_back("notice dismissed");
}

void FakeView::show_error(const std::string& text) {
    errors.push_back(text);
    events.push_back("error " + text);
}

void FakeView::decode_image() {
    ++decodes;
    events.push_back("decode");
}

} // namespace gnc::test
