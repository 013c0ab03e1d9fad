#include "tools/template/field_session.h"

#include "link/link_texts.h"
#include "link/port_choices.h"
#include "tools/template/interruption.h"
#include "tools/template/progress.h"

#include <QEventLoop>

#include <algorithm>
#include <string_view>

namespace gnc::cli {

namespace {

// The connect window's bar is 150 wide (it climbs by 6 per tick and starts
// again on the 26th); the read and programming windows' bars 100.
constexpr int connect_bar_maximum = 150;
constexpr int page_bar_maximum = 100;
constexpr int connect_ticks_allowed = 61; // the configurator's connect time, in Timer2 ticks
constexpr int pages = settings_page_count;

const char* const phase_reading = "Odczyt ustawień";
const char* const phase_programming = "Zapis ustawień";
const char* const phase_connecting = "Oczekiwanie na urządzenie";

bool is(const std::string& text, const char* expected) {
    return text == std::string_view(expected);
}

// "auto" is the command line's word for the port box's "Wszystkie porty".
std::string session_port_name(const std::string& port_name) {
    return port_name == "auto" ? std::string(all_ports_name) : port_name;
}

} // namespace

// ---- CommandLineView ----

void CommandLineView::set_status_text(const std::string& text) {
    if (is(text, text_connected_status)) {
        connected = true;
    }
}

void CommandLineView::set_window_label(LinkWindow window, int label, const std::string& text) {
    if (window == LinkWindow::connect && label == 1 && is(text, text_connect_failed)) {
        connect_failed = true;
    } else if (window == LinkWindow::read && is(text, text_read_failed)) {
        read_failed = true;
    } else if (window == LinkWindow::programming && is(text, text_programming_done)) {
        programming_done = true;
    } else if (window == LinkWindow::programming && is(text, text_programming_failed)) {
        programming_failed = true;
    }
}

int CommandLineView::window_bar(LinkWindow window) const {
    const auto bar = bars_.find(window);
    return bar == bars_.end() ? 0 : bar->second;
}

int CommandLineView::window_bar_maximum(LinkWindow window) const {
    return window == LinkWindow::connect ? connect_bar_maximum : page_bar_maximum;
}

void CommandLineView::set_window_bar(LinkWindow window, int value) {
    bars_[window] = value;
}

// No window is shown: the session waits on its own event loop instead.
void CommandLineView::show_window(LinkWindow) {}
void CommandLineView::close_window(LinkWindow) {}
void CommandLineView::show_link_lost_notice() {}

void CommandLineView::show_error(const std::string&) {
    port_error = true; // the only error the session's actions can meet
}

void CommandLineView::decode_image() {
    read_done = true;
}

// ---- FieldSession ----

FieldSession::FieldSession(const std::string& port_name, Progress& progress)
    : port_name_(session_port_name(port_name)),
      controller_(link_, buffer_, image_, port_name_, port_, view_), progress_(progress) {
    image_.fill(0xFF);
    // Precise timers, as in the configurator: one request a second and
    // time-outs true to the tick.
    timer1_.setTimerType(Qt::PreciseTimer);
    timer2_.setTimerType(Qt::PreciseTimer);
    timer1_.setInterval(exchange_tick_ms);
    timer2_.setInterval(supervision_tick_ms);
    QObject::connect(&timer1_, &QTimer::timeout, [this] { on_timer1(); });
    QObject::connect(&timer2_, &QTimer::timeout, [this] { on_timer2(); });
    timer1_.start();
    timer2_.start();
}

std::string FieldSession::port_description() const {
    if (!searches_every_port()) {
        return port_name_ + " (" + device_for_port_name(port_name_).toStdString() + ")";
    }
    const std::string& found = port_.port_name();
    return found.empty() ? std::string("auto (wszystkie porty)")
                         : found + " (" + device_for_port_name(found).toStdString() + ")";
}

bool FieldSession::searches_every_port() const {
    return port_name_ == all_ports_name;
}

LinkOutcome FieldSession::connect() {
    view_.connected = view_.connect_failed = view_.port_error = false;
    controller_.connect_action();
    if (view_.port_error) {
        return LinkOutcome::port_unavailable;
    }
    progress_.line("Czekam na urządzenie na porcie " + port_description() +
                   ". Wyłącz i włącz urządzenie.");
    phase_ = phase_connecting;
    run_until([this] { return view_.connected || view_.connect_failed; });
    phase_ = nullptr;
    progress_.end_bar();
    if (!view_.connected) {
        return LinkOutcome::no_offer;
    }
    progress_.line(text_connected_status);
    if (searches_every_port()) {
        progress_.line("Urządzenie zgłosiło się na porcie " + port_description());
    }
    return LinkOutcome::done;
}

LinkOutcome FieldSession::read(ImageBuffer& image) {
    view_.read_done = view_.read_failed = view_.port_error = false;
    controller_.read_action();
    if (view_.port_error) {
        return LinkOutcome::read_timed_out; // the link went down before the read
    }
    phase_ = phase_reading;
    report_pages();
    run_until([this] { return view_.read_done || view_.read_failed; });
    phase_ = nullptr;
    progress_.end_bar();
    if (!view_.read_done) {
        return LinkOutcome::read_timed_out;
    }
    image = image_;
    return LinkOutcome::done;
}

LinkOutcome FieldSession::program(const ImageBuffer& image) {
    view_.programming_done = view_.programming_failed = false;
    image_ = image;
    link_.watchdog_armed = 0; // as the programming start of the messages window does
    controller_.start_programming();
    phase_ = phase_programming;
    report_pages();
    run_until([this] { return view_.programming_done || view_.programming_failed; });
    phase_ = nullptr;
    progress_.end_bar();
    return view_.programming_done ? LinkOutcome::done : LinkOutcome::programming_timed_out;
}

void FieldSession::run_until(const std::function<bool()>& finished) {
    if (finished()) {
        return;
    }
    QEventLoop loop;
    finished_ = finished;
    quit_ = [&loop] { loop.quit(); };
    loop.exec();
    finished_ = nullptr;
    quit_ = nullptr;
    throw_if_interrupted();
}

void FieldSession::on_timer1() {
    controller_.timer1_tick();
    report_pages();
    if (finished_ && finished_()) {
        quit_();
    }
}

void FieldSession::on_timer2() {
    controller_.timer2_tick();
    if (phase_ == phase_connecting && progress_.terminal()) {
        progress_.advance(phase_connecting, std::min(link_.connect_ticks, connect_ticks_allowed),
                          connect_ticks_allowed);
    }
    if (finished_ && finished_()) {
        quit_();
    }
}

void FieldSession::report_pages() {
    if (phase_ == phase_reading) {
        progress_.advance(phase_, view_.read_done ? pages : link_.page_index, pages);
    } else if (phase_ == phase_programming) {
        progress_.advance(phase_, view_.programming_done ? pages : link_.page_index, pages);
    }
}

} // namespace gnc::cli
