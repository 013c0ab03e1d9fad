#pragma once
// Creates every window of the program once, in the program's order (main
// window, parameters, messages, read, programming, connect, cable schematic,
// mounting schematic, about, link-lost notice), fills the one Forms struct
// they share, owns the serial port and the link controller, and wires the
// windows' callbacks. Nothing is created or destroyed later.

#include "windows/forms.h"

#include <memory>

namespace gnc {

class LinkPort;
class SearchingPort;

class AppWindows {
  public:
    // `port` replaces the real serial port (tests inject a fake); the windows
    // do not own it.
    explicit AppWindows(LinkPort* port = nullptr);
    ~AppWindows();
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    Forms& forms() { return forms_; }
    TForm1& main_window() { return *forms_.form1; }
    LinkPort& port() { return *port_; }

    // Shows the main window (the other windows stay hidden until opened).
    void show();

  private:
    void create_windows();
    void wire_windows();

    std::unique_ptr<SearchingPort> serial_port_;
    LinkPort* port_ = nullptr;
    Forms forms_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<LinkController> controller_;
};

} // namespace gnc
