#pragma once
// One device on one port, driven by the configurator's own link controller,
// frames and serial port: the command line is just another view of the
// controller. Timer1 and Timer2 tick at the configurator's intervals on a Qt
// event loop without windows, so the device sees the same frames at the same
// pace. Needs a QCoreApplication.

#include "image/image_buffer.h"
#include "link/link_buffer.h"
#include "link/link_controller.h"
#include "link/link_state.h"
#include "link/link_view.h"
#include "link/searching_port.h"

#include <QTimer>

#include <functional>
#include <map>
#include <string>

namespace gnc::cli {

class Progress;

enum class LinkOutcome {
    done,
    port_unavailable,      // the port could not be opened
    no_offer,              // no connect frame within the connect time
    read_timed_out,        // the image was not read within the read time
    programming_timed_out, // the pages were not acknowledged within the programming time
};

// What the controller tells the windows, kept as flags for the session.
class CommandLineView : public LinkView {
  public:
    bool connected = false;
    bool connect_failed = false;
    bool read_done = false;
    bool read_failed = false;
    bool programming_done = false;
    bool programming_failed = false;
    bool port_error = false;

    void set_status_text(const std::string& text) override;
    void set_window_label(LinkWindow window, int label, const std::string& text) override;
    int window_bar(LinkWindow window) const override;
    int window_bar_maximum(LinkWindow window) const override;
    void set_window_bar(LinkWindow window, int value) override;
    void show_window(LinkWindow window) override;
    void close_window(LinkWindow window) override;
    void show_link_lost_notice() override;
    void show_error(const std::string& text) override;
    void decode_image() override;

  private:
    std::map<LinkWindow, int> bars_;
};

class FieldSession {
  public:
    FieldSession(const std::string& port_name, Progress& progress);
    FieldSession(const FieldSession&) = delete;
    FieldSession& operator=(const FieldSession&) = delete;

    // "COM1 (/dev/ttyS0)": the port name and the device it opens; for
    // "auto", the port on which the device answered, once it has.
    std::string port_description() const;
    // "--port auto": the device is looked for on every port.
    bool searches_every_port() const;

    // Opens the port and waits for the device's connect offer, which it
    // answers, as the configurator's connect action does.
    LinkOutcome connect();
    // Reads the four pages into `image` (4096 bytes, the second half 0xFF).
    LinkOutcome read(ImageBuffer& image);
    // Writes the first four pages of `image` to the device.
    LinkOutcome program(const ImageBuffer& image);

  private:
    void run_until(const std::function<bool()>& finished);
    void on_timer1();
    void on_timer2();
    void report_pages();

    LinkState link_;
    LinkBuffer buffer_{};
    ImageBuffer image_{};
    std::string port_name_;
    SearchingPort port_;
    CommandLineView view_;
    LinkController controller_;
    QTimer timer1_;
    QTimer timer2_;
    Progress& progress_;
    std::function<bool()> finished_;
    std::function<void()> quit_;
    const char* phase_ = nullptr; // the page work under way, for the progress
};

} // namespace gnc::cli
