#include "link/link_controller.h"

#include "link/frames.h"
#include "link/link_io.h"
#include "link/link_texts.h"

#include <algorithm>

namespace gnc {

namespace {

constexpr int watchdog_limit = 80;     // fires on the 81st quiet Timer2 tick
constexpr int close_connect_delay = 6; // the connect window closes on the 7th tick
constexpr int connect_limit = 60;      // a connect attempt fails on its 61st tick
constexpr int whole_image_limit = 50;  // reads and programmings fail on the 51st tick
constexpr int bar_step = 6;
constexpr std::uint8_t last_page = settings_page_count - 1;

} // namespace

LinkController::LinkController(LinkState& link, LinkBuffer& buffer, ImageBuffer& image,
                               const std::string& port_name, LinkPort& port, LinkView& view)
    : link_(link), buffer_(buffer), image_(image), port_name_(port_name), port_(port), view_(view) {
}

void LinkController::connect_action() {
    link_.link_up = 0;
    link_.connecting_on = 0;
    link_.connect_ticks = 0;
    link_.watchdog_ticks = 0;
    link_.watchdog_armed = 1;

    view_.set_status_text(text_connecting);
    view_.set_window_label(LinkWindow::connect, 1, text_connecting);
    view_.set_window_label(LinkWindow::connect, 2, "");
    view_.set_window_bar(LinkWindow::connect, 0);

    link_.close_connect_ticks = 0;
    link_.close_connect_pending = 0;

    if (!port_.open(port_name_)) {
        // No link was ever made on this attempt, so there is nothing for the
        // watchdog to guard.
        link_.watchdog_armed = 0;
        view_.show_error(port_.open_failure_text(port_name_));
        return;
    }
    link_.connecting_on = 1;
    view_.show_window(LinkWindow::connect);
}

void LinkController::read_action() {
    link_.read_failed = 0;
    link_.watchdog_armed = 0;
    if (link_.link_up != 1) {
        view_.show_error(text_read_refused);
        return;
    }
    // The image is about to be erased and filled with what the device holds:
    // a programming still sending pages would send that instead.
    stop_programming();
    image_.fill(0xFF);
    view_.set_window_bar(LinkWindow::read, 0);
    link_.read_watch_on = 1;
    view_.set_window_label(LinkWindow::read, 1, text_reading);
    link_.read_watch_ticks = 0;
    link_.page_index = 0;
    link_.read_request = 1;
    view_.show_window(LinkWindow::read);
}

void LinkController::start_programming() {
    // Timer1 already runs at exchange_tick_ms; nothing changes its interval.
    // A read still under way ends here: its replies would overwrite the
    // image that is about to be written.
    stop_read();
    link_.programming_on = 1;
    link_.page_index = 0;
    view_.set_window_bar(LinkWindow::programming, 0);
    link_.program_watch_on = 1;
    link_.program_watch_ticks = 0;
    view_.set_window_label(LinkWindow::programming, 1, text_programming);
    view_.show_window(LinkWindow::programming);
}

void LinkController::stop_programming() {
    link_.programming_on = 0;
    link_.program_watch_on = 0;
}

void LinkController::stop_read() {
    link_.read_request = 0;
    link_.read_watch_on = 0;
}

// ---- Timer1: the exchange ----

void LinkController::timer1_tick() {
    const std::size_t received = Read_Comm(port_, buffer_, receive_limit);
    if (received > 0) {
        act_on_received(received);
    }
    send_due_frames();
}

void LinkController::act_on_received(std::size_t received) {
    const ReceivedChunk chunk = recognise_chunk(buffer_, received);
    switch (chunk.kind) {
    case ChunkKind::connect:
        on_connect_frame();
        break;
    case ChunkKind::acknowledgement:
        on_acknowledgement(chunk.page);
        break;
    case ChunkKind::page_reply:
        on_page_reply(chunk.page, chunk.data);
        break;
    case ChunkKind::nothing:
        break;
    }
}

void LinkController::on_connect_frame() {
    link_.answer_connect = 1;
    view_.set_window_bar(LinkWindow::connect, view_.window_bar_maximum(LinkWindow::connect));
    link_.connecting_on = 0;
    link_.link_up = 1;
    view_.set_status_text(text_connected_status);
    view_.set_window_label(LinkWindow::connect, 1, text_connected_window);
    link_.watchdog_ticks = 0;
    view_.set_window_label(LinkWindow::connect, 2, "");
    link_.close_connect_pending = 1;
    link_.close_connect_ticks = 0;
}

void LinkController::on_acknowledgement(std::uint8_t page) {
    link_.link_up = 1;
    link_.watchdog_ticks = 0;
    // Only the acknowledgement of the page being written moves a programming
    // on; a late or stray one (a repeat of the previous page, or one that
    // arrives during a read) would otherwise make it skip or revisit pages.
    if (link_.programming_on != 1 || page != link_.page_index) {
        return;
    }
    if (page < last_page) {
        link_.page_index = page + 1;
        return;
    }
    link_.program_watch_on = 0;
    link_.programming_on = 0;
    view_.set_window_label(LinkWindow::programming, 1, text_programming_done);
    view_.set_window_bar(LinkWindow::programming,
                         view_.window_bar_maximum(LinkWindow::programming));
}

void LinkController::on_page_reply(std::uint8_t page, const std::uint8_t* data) {
    // Only a reply to the request of a read under way is stored: a reply for
    // another page (a late answer to an earlier request) would land in the
    // wrong place of the image, and one that comes after the read has ended
    // would overwrite an image being written or decode it again.
    if (link_.read_request != 1 || page != link_.page_index) {
        return;
    }
    link_.link_up = 1;
    link_.watchdog_ticks = 0;
    if (link_.page_index < image_page_count) {
        const auto offset = static_cast<std::ptrdiff_t>(link_.page_index * page_size);
        std::copy(data, data + page_size, image_.begin() + offset);
    }
    if (link_.page_index >= last_page) {
        complete_read();
        return;
    }
    ++link_.page_index; // read_request stays 1: the next page is asked for
}

void LinkController::complete_read() {
    link_.read_request = 0;
    view_.set_window_bar(LinkWindow::read, 0);
    view_.set_window_label(LinkWindow::read, 1, text_read_done);
    view_.set_window_bar(LinkWindow::read, view_.window_bar_maximum(LinkWindow::read));
    link_.read_watch_on = 0;
    link_.watchdog_ticks = 0;
    view_.decode_image();
}

void LinkController::send_due_frames() {
    if (link_.read_request == 1 && link_.page_index < image_page_count) {
        send_frame(port_, buffer_, compose_read_request(buffer_, link_.page_index));
    }
    if (link_.answer_connect == 1) {
        link_.answer_connect = 0;
        send_frame(port_, buffer_, compose_connect_answer(buffer_));
    }
    if (link_.programming_on == 1) {
        send_frame(port_, buffer_, compose_write_frame(buffer_, image_, link_.page_index));
    }
}

// ---- Timer2: supervision ----

void LinkController::timer2_tick() {
    watch_link();
    close_connect_window_when_due();
    advance_connect_bar();
    watch_connect_time();
    watch_read_time();
    watch_programming_time();
    if (link_.read_watch_on == 1) {
        advance_bar(LinkWindow::read);
    }
    if (link_.program_watch_on == 1) {
        advance_bar(LinkWindow::programming);
    }
}

void LinkController::watch_link() {
    if (link_.watchdog_armed != 1) {
        return;
    }
    if (link_.watchdog_ticks < watchdog_limit) {
        ++link_.watchdog_ticks;
        return;
    }
    link_.watchdog_armed = 0;
    link_.watchdog_ticks = 0;
    // Modal: further ticks run while the notice is open; this tick goes on
    // with its remaining steps once the user has dismissed it.
    view_.show_link_lost_notice();
}

void LinkController::close_connect_window_when_due() {
    if (link_.close_connect_pending != 1) {
        return;
    }
    if (link_.close_connect_ticks < close_connect_delay) {
        ++link_.close_connect_ticks;
        return;
    }
    link_.close_connect_ticks = 0;
    link_.close_connect_pending = 0;
    view_.close_window(LinkWindow::connect);
}

void LinkController::advance_connect_bar() {
    if (link_.connecting_on != 1) {
        return;
    }
    if (view_.window_bar(LinkWindow::connect) < view_.window_bar_maximum(LinkWindow::connect)) {
        advance_bar(LinkWindow::connect);
        return;
    }
    link_.link_up = 0;
    link_.watchdog_armed = 0;
    view_.set_window_bar(LinkWindow::connect, 0);
}

void LinkController::watch_connect_time() {
    if (link_.connecting_on != 1) {
        return;
    }
    if (link_.connect_ticks < connect_limit) {
        ++link_.connect_ticks;
        return;
    }
    link_.link_up = 0;
    link_.watchdog_armed = 0;
    link_.connecting_on = 0;
    link_.connect_ticks = 0;
    view_.set_window_bar(LinkWindow::connect, 0);
    view_.set_window_label(LinkWindow::connect, 1, text_connect_failed);
    view_.set_window_label(LinkWindow::connect, 2, text_connect_failed_advice);
    view_.set_status_text(text_connect_failed_advice);
}

void LinkController::watch_read_time() {
    if (link_.read_watch_on == 1) {
        ++link_.read_watch_ticks;
    }
    if (link_.read_watch_ticks <= whole_image_limit) {
        return;
    }
    link_.read_watch_ticks = 0;
    link_.read_watch_on = 0;
    link_.read_failed = 1;
    link_.link_up = 0;
    link_.watchdog_armed = 0;
    view_.set_window_label(LinkWindow::read, 1, text_read_failed);
    link_.read_request = 0;
    view_.set_status_text(text_link_broken_status);
}

void LinkController::watch_programming_time() {
    if (link_.program_watch_on == 1) {
        ++link_.program_watch_ticks;
    }
    if (link_.program_watch_ticks <= whole_image_limit) {
        return;
    }
    link_.program_watch_ticks = 0;
    view_.set_window_label(LinkWindow::programming, 1, text_programming_failed);
    link_.programming_on = 0;
    link_.program_watch_on = 0;
}

// A bar below its maximum grows by one step (never past the maximum, as a
// progress bar would not show it); a full bar starts again from 0.
void LinkController::advance_bar(LinkWindow window) {
    const int value = view_.window_bar(window);
    const int maximum = view_.window_bar_maximum(window);
    view_.set_window_bar(window, value < maximum ? std::min(value + bar_step, maximum) : 0);
}

} // namespace gnc
