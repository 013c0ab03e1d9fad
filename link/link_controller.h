#pragma once
// The link controller: the connect and read actions of the main window, the
// programming start, and the bodies of the two link timers. Timer1 (every
// 1000 ms) reads what the device sent, acts on it and sends the frames that
// are due; Timer2 (every 300 ms) runs the link watchdog, the time-outs, the
// progress bars and the delayed closing of the connect window. All state is
// the main window's link state; windows are reached through LinkView.

#include "image/image_buffer.h"
#include "link/link_buffer.h"
#include "link/link_port.h"
#include "link/link_state.h"
#include "link/link_view.h"

#include <string>

namespace gnc {

inline constexpr int exchange_tick_ms = 1000;   // Timer1
inline constexpr int supervision_tick_ms = 300; // Timer2

class LinkController {
  public:
    // `port_name` is read at each connect action, so a later change of the
    // chosen port takes effect at the next connect.
    LinkController(LinkState& link, LinkBuffer& buffer, ImageBuffer& image,
                   const std::string& port_name, LinkPort& port, LinkView& view);

    void connect_action(); // SpeedButton1Click of the main window
    void read_action();    // SpeedButton5Click of the main window
    // Starts writing the image to the device and shows the programming window
    // modally. The caller has already disarmed the watchdog, checked the link
    // and composed the image.
    void start_programming();
    // End a programming run or a read still under way, with its watch: no
    // more frames go out and no time-out or bar follows in its hidden window.
    void stop_programming();
    void stop_read();
    void timer1_tick(); // Timer1Timer
    void timer2_tick(); // Timer2Timer

  private:
    void act_on_received(std::size_t received);
    void on_connect_frame();
    void on_acknowledgement(std::uint8_t page);
    void on_page_reply(std::uint8_t page, const std::uint8_t* data);
    void complete_read();
    void send_due_frames();

    void watch_link();
    void close_connect_window_when_due();
    void advance_connect_bar();
    void watch_connect_time();
    void watch_read_time();
    void watch_programming_time();
    void advance_bar(LinkWindow window);

    LinkState& link_;
    LinkBuffer& buffer_;
    ImageBuffer& image_;
    const std::string& port_name_;
    LinkPort& port_;
    LinkView& view_;
};

} // namespace gnc
