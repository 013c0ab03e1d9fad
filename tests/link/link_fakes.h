#pragma once
// Test doubles for the link controller: a scripted port, a device that
// answers through it, and a view that records what the windows are told.

#include "image/image_buffer.h"
#include "link/link_port.h"
#include "link/link_view.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gnc::test {

using Bytes = std::vector<std::uint8_t>;

Bytes connect_frame();
Bytes read_request(std::uint8_t page);
Bytes acknowledgement(std::uint8_t page);
Bytes page_reply(std::uint8_t page, const std::uint8_t* data);
// 512 bytes that differ from page to page and from 0xFF.
Bytes page_pattern(std::uint8_t page);

class FakePort : public LinkPort {
  public:
    bool open_result = true;
    std::vector<std::string> opened;
    std::vector<Bytes> sent;
    std::function<void(const Bytes&)> on_send; // the device at the other end

    void arrive(const Bytes& bytes) { incoming.insert(incoming.end(), bytes.begin(), bytes.end()); }
    std::size_t queued() const { return incoming.size(); }

    bool open(const std::string& port_name) override;
    void send(const std::uint8_t* data, std::size_t count) override;
    std::size_t read_available(std::uint8_t* dest, std::size_t limit) override;

  private:
    bool is_open = false;
    std::deque<std::uint8_t> incoming;
};

// Answers read requests and write frames at once, like a prompt device.
class FakeDevice {
  public:
    explicit FakeDevice(FakePort& port);

    std::array<std::uint8_t, settings_image_size> memory{};
    std::map<int, int> requests_to_ignore; // page -> requests left unanswered
    bool acknowledge = true;
    std::vector<int> write_pages; // pages of the write frames received

  private:
    void on_frame(const Bytes& frame);
    FakePort& port_;
};

class FakeView : public LinkView {
  public:
    // Runs while a window is "modal"; returns when it would close.
    std::map<LinkWindow, std::function<void()>> on_show;
    std::function<void()> on_notice;

    std::vector<std::string> events; // every call, in order
    std::vector<std::string> status_history;
    std::vector<std::string> errors;
    std::map<std::pair<LinkWindow, int>, std::string> labels;
    std::map<LinkWindow, int> bars{
        {LinkWindow::connect, 0}, {LinkWindow::read, 0}, {LinkWindow::programming, 0}};
    std::map<LinkWindow, bool> open;
    int notices = 0;
    int decodes = 0;

    std::string status() const { return status_history.empty() ? "" : status_history.back(); }
    std::string label(LinkWindow window, int number = 1) const;

    void set_status_text(const std::string& text) override;
    void set_window_label(LinkWindow window, int label, const std::string& text) override;
    int window_bar(LinkWindow window) const override { return bars.at(window); }
    int window_bar_maximum(LinkWindow window) const override;
    void set_window_bar(LinkWindow window, int value) override;
    void show_window(LinkWindow window) override;
    void close_window(LinkWindow window) override;
    void show_link_lost_notice() override;
    void show_error(const std::string& text) override;
    void decode_image() override;
};

std::string window_name(LinkWindow window);

} // namespace gnc::test
