#pragma once
// A messages window and a parameters window on one shared state, with a link
// controller talking to a recording port and view, for widget tests of the
// messages window.

#include "editors/parameters_window.h"
#include "editors/messages_window.h"
#include "link/link_controller.h"
#include "tests/support/modal_watcher.h"
#include "windows/forms.h"
#include "windows/main_state.h"

#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;

namespace gnc::test {

class RecordingPort : public LinkPort {
  public:
    bool open(const std::string&) override { return true; }
    void send(const std::uint8_t* data, std::size_t count) override {
        frames.emplace_back(data, data + count);
    }
    std::size_t read_available(std::uint8_t*, std::size_t) override { return 0; }
    std::vector<std::vector<std::uint8_t>> frames;
};

class RecordingView : public LinkView {
  public:
    void set_status_text(const std::string&) override {}
    void set_window_label(LinkWindow window, int, const std::string& text) override {
        if (window == LinkWindow::programming)
            programming_label = text;
    }
    int window_bar(LinkWindow) const override { return bar; }
    int window_bar_maximum(LinkWindow) const override { return 100; }
    void set_window_bar(LinkWindow, int value) override { bar = value; }
    void show_window(LinkWindow window) override {
        if (window == LinkWindow::programming)
            ++programming_windows_shown;
    }
    void close_window(LinkWindow) override {}
    void show_link_lost_notice() override {}
    void show_error(const std::string&) override {}
    void decode_image() override {}

    std::string programming_label;
    int programming_windows_shown = 0;
    int bar = -1;
};

struct MessagesFixture {
    MessagesFixture();
    ~MessagesFixture();

    MainState state;
    QTimer timer1;
    QTimer timer2;
    QTimer timer3;
    RecordingPort port;
    RecordingView view;
    LinkController controller;
    Forms forms;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
    ModalWatcher watcher;

    // Shows the messages window as the parameters window opens it (the flag
    // set by hand), runs `steps` inside it and closes it if still open.
    void in_messages_window(const std::function<void()>& steps);

    // The whole road: the parameters window is shown, its button opens the
    // messages window (texts decoded from the image first), `steps` run
    // there; the messages window is closed if still open, then `after` runs
    // in the parameters window, which is closed at the end.
    void through_parameters(const std::function<void()>& steps,
                            const std::function<void()>& after = {});
};

// Runs `steps` as soon as `window` is the modal window in front.
void when_in_front(QWidget& window, const std::function<void()>& steps);

} // namespace gnc::test
