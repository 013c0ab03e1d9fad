#pragma once
// What the link controller needs from the windows: the status line, the
// progress windows' labels and bars, modal showing and closing, the error box
// and the decoders. Texts are UTF-8. Tests use a recording fake.

#include <string>

namespace gnc {

enum class LinkWindow { connect, read, programming };

class LinkView {
  public:
    virtual ~LinkView() = default;
    virtual void set_status_text(const std::string& text) = 0; // Label5 of the main window
    // label 1 is Label1, label 2 is Label2 (the connect window only)
    virtual void set_window_label(LinkWindow window, int label, const std::string& text) = 0;
    virtual int window_bar(LinkWindow window) const = 0;
    virtual int window_bar_maximum(LinkWindow window) const = 0;
    virtual void set_window_bar(LinkWindow window, int value) = 0;
    // Shows a progress window modally; returns when it has been closed.
    virtual void show_window(LinkWindow window) = 0;
    virtual void close_window(LinkWindow window) = 0;
    // Shows the link-lost notice modally; returns once the user dismissed it.
    virtual void show_link_lost_notice() = 0;
    virtual void show_error(const std::string& text) = 0;
    // decode_parameters, odczytaj_uzytkownikow and decode_texts, in this order.
    virtual void decode_image() = 0;
};

} // namespace gnc
