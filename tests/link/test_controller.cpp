// The link controller tick by tick, with a scripted port and a recording view.

#include "link/link_controller.h"
#include "link/link_texts.h"
#include "tests/link/link_fakes.h"

#include <QTest>

#include <algorithm>
#include <functional>

using namespace gnc;
using gnc::test::Bytes;
using gnc::test::FakeDevice;
using gnc::test::FakePort;
using gnc::test::FakeView;

namespace {

constexpr LinkWindow connect_window = LinkWindow::connect;
constexpr LinkWindow read_window = LinkWindow::read;
constexpr LinkWindow programming_window = LinkWindow::programming;

// The controller with its state and doubles, and a clock that fires Timer1
// every 1000 ms and Timer2 every 300 ms as the main window's timers would.
struct Rig {
    LinkState link;
    LinkBuffer buffer{};
    ImageBuffer image{};
    std::string port_name = "COM1";
    FakePort port;
    FakeView view;
    LinkController controller{link, buffer, image, port_name, port, view};

    int now_ms = 0;
    int timer1_ticks = 0;
    int timer2_ticks = 0;
    std::function<void()> before_timer1; // the device's side, just before a Timer1 tick

    void step() {
        now_ms += 100;
        if (now_ms % 300 == 0) {
            ++timer2_ticks;
            controller.timer2_tick();
        }
        if (now_ms % 1000 == 0) {
            if (before_timer1) {
                before_timer1();
            }
            ++timer1_ticks;
            controller.timer1_tick();
        }
    }
    void run_for(int ms) {
        const int end = now_ms + ms;
        while (now_ms < end) {
            step();
        }
    }
    // Runs the clock until `done` holds; false when `limit_ms` passed first.
    bool run_until(const std::function<bool()>& done, int limit_ms = 60000) {
        const int end = now_ms + limit_ms;
        while (!done()) {
            if (now_ms >= end) {
                return false;
            }
            step();
        }
        return true;
    }
    void timer2(int count) {
        for (int i = 0; i < count; ++i) {
            controller.timer2_tick();
        }
    }

    // A connect action whose window stays open until `done` (or the limit).
    void connect(const std::function<bool()>& done, int limit_ms = 60000) {
        view.on_show[connect_window] = [this, done, limit_ms] { run_until(done, limit_ms); };
        controller.connect_action();
    }
    // Connected through a device that sends its connect frame at once; the
    // connect window has closed itself.
    void connect_promptly() {
        before_timer1 = [this] {
            if (link.link_up == 0) {
                port.arrive(test::connect_frame());
            }
        };
        connect([this] { return !view.open[connect_window]; });
        before_timer1 = nullptr;
    }
};

int count_sent(const FakePort& port, const Bytes& frame) {
    return static_cast<int>(std::count(port.sent.begin(), port.sent.end(), frame));
}

std::vector<int> written_pages(const FakePort& port) {
    std::vector<int> pages;
    for (const Bytes& frame : port.sent) {
        if (frame.size() == 516 && frame[1] == 0x02) {
            pages.push_back(frame[2]);
        }
    }
    return pages;
}

std::vector<int> requested_pages(const FakePort& port) {
    std::vector<int> pages;
    for (const Bytes& frame : port.sent) {
        if (frame.size() == 4 && frame[1] == 0x03) {
            pages.push_back(frame[2]);
        }
    }
    return pages;
}

bool position_of(const std::vector<std::string>& events, const std::string& event,
                 std::size_t& at) {
    const auto found = std::find(events.begin(), events.end(), event);
    at = static_cast<std::size_t>(found - events.begin());
    return found != events.end();
}

} // namespace

class TestController : public QObject {
    Q_OBJECT
  private slots:
    void connect_frame_ten_seconds_in();
    void silent_device_times_out_without_a_notice();
    void each_connect_attempt_gets_its_full_time();
    void late_connect_frame_is_still_answered();
    void failed_open_reports_and_leaves_the_watchdog_off();
    void silent_link_brings_the_notice_once();
    void watchdog_tick_finishes_after_the_notice();
    void read_refused_without_a_link();
    void prompt_read();
    void page_answered_on_the_third_try();
    void read_times_out_on_the_51st_tick();
    void reply_for_another_page_is_asked_again();
    void corrupt_reply_or_acknowledgement_repeats_the_page();
    void programming_four_pages();
    void programming_times_out_and_stops_writing();
    void stray_acknowledgements_do_not_move_the_programming();
    void programming_started_during_a_read_ends_the_read();
    void read_started_during_a_programming_ends_the_programming();
    void frames_after_a_failed_read_store_nothing();
    void ended_programming_leaves_no_watch();
    void stopped_read_stores_no_late_reply();
    void bars_wrap_and_never_pass_their_maximum();
};

void TestController::connect_frame_ten_seconds_in() {
    Rig rig;
    rig.before_timer1 = [&rig] {
        if (rig.now_ms == 10000) {
            rig.port.arrive(test::connect_frame());
        }
    };
    int closed_on_timer2 = 0;
    rig.connect([&] {
        if (!rig.view.open[connect_window] && closed_on_timer2 == 0) {
            closed_on_timer2 = rig.timer2_ticks;
        }
        return !rig.view.open[connect_window];
    });

    QCOMPARE(rig.port.opened, (std::vector<std::string>{"COM1"}));
    QCOMPARE(rig.view.status_history,
             (std::vector<std::string>{text_connecting, text_connected_status}));
    QCOMPARE(rig.port.sent, (std::vector<Bytes>{test::connect_frame()})); // answered at 10 s
    QCOMPARE(rig.view.label(connect_window, 1), std::string(text_connected_window));
    QCOMPARE(rig.view.label(connect_window, 2), std::string());
    QCOMPARE(rig.view.bars[connect_window], 150);
    QCOMPARE(rig.link.link_up, std::uint8_t{1});
    QCOMPARE(rig.link.connecting_on, std::uint8_t{0});
    // Timer2 ticks at 10.2, 10.5, ... 12.0 s: the window closes on the seventh.
    QCOMPARE(rig.now_ms, 12000);
    QCOMPARE(closed_on_timer2, 12000 / 300);
    QCOMPARE(rig.link.close_connect_pending, std::uint8_t{0});
}

void TestController::silent_device_times_out_without_a_notice() {
    Rig rig;
    std::vector<int> bar_after_tick;
    rig.view.on_show[connect_window] = [&] {
        for (int tick = 1; tick <= 61; ++tick) {
            rig.controller.timer1_tick();
            rig.controller.timer2_tick();
            bar_after_tick.push_back(rig.view.bars[connect_window]);
            if (tick == 26) {
                QCOMPARE(rig.link.watchdog_armed, std::uint8_t{0});
            }
            if (tick == 60) {
                QCOMPARE(rig.link.connecting_on, std::uint8_t{1});
                QCOMPARE(rig.view.label(connect_window), std::string(text_connecting));
            }
        }
    };
    rig.controller.connect_action();

    QCOMPARE(bar_after_tick[0], 6);
    QCOMPARE(bar_after_tick[24], 150);
    QCOMPARE(bar_after_tick[25], 0); // 26th tick: the bar starts again
    QCOMPARE(bar_after_tick[26], 6);
    QCOMPARE(bar_after_tick[50], 150);
    QCOMPARE(bar_after_tick[51], 0); // a full bar again, then from 0
    QCOMPARE(bar_after_tick[59], 48);
    QCOMPARE(bar_after_tick[60], 0); // 61st tick: the attempt has failed
    QCOMPARE(rig.view.label(connect_window, 1), std::string(text_connect_failed));
    QCOMPARE(rig.view.label(connect_window, 2), std::string(text_connect_failed_advice));
    QCOMPARE(rig.view.status(), std::string(text_connect_failed_advice));
    QCOMPARE(rig.link.connecting_on, std::uint8_t{0});
    QCOMPARE(rig.link.link_up, std::uint8_t{0});

    rig.timer2(200);
    QCOMPARE(rig.view.notices, 0);
    QCOMPARE(rig.view.bars[connect_window], 0);
    QVERIFY(rig.port.sent.empty());
}

void TestController::each_connect_attempt_gets_its_full_time() {
    Rig rig;
    rig.view.on_show[connect_window] = [&] { rig.timer2(61); };
    rig.controller.connect_action();
    QCOMPARE(rig.view.status(), std::string(text_connect_failed_advice));

    rig.view.on_show[connect_window] = [&] {
        rig.timer2(60);
        QCOMPARE(rig.link.connecting_on, std::uint8_t{1});
        QCOMPARE(rig.view.status(), std::string(text_connecting));
        rig.timer2(1);
    };
    rig.controller.connect_action();
    QCOMPARE(rig.link.connecting_on, std::uint8_t{0});
    QCOMPARE(rig.view.status(), std::string(text_connect_failed_advice));
    QCOMPARE(rig.port.opened.size(), std::size_t{2});
}

void TestController::late_connect_frame_is_still_answered() {
    Rig rig;
    rig.connect([&] { return rig.link.connecting_on == 0; });
    QCOMPARE(rig.view.status(), std::string(text_connect_failed_advice));

    // The port stayed open: a frame arriving later completes the link.
    rig.port.arrive(test::connect_frame());
    rig.controller.timer1_tick();
    QCOMPARE(rig.port.sent, (std::vector<Bytes>{test::connect_frame()}));
    QCOMPARE(rig.link.link_up, std::uint8_t{1});
    QCOMPARE(rig.view.status(), std::string(text_connected_status));
    QCOMPARE(rig.view.label(connect_window), std::string(text_connected_window));
    QCOMPARE(rig.view.bars[connect_window], 150);

    // Each further connect frame is answered once and restarts the close delay.
    rig.timer2(5);
    rig.port.arrive(test::connect_frame());
    rig.controller.timer1_tick();
    rig.controller.timer1_tick();
    QCOMPARE(count_sent(rig.port, test::connect_frame()), 2);
    rig.timer2(6);
    QVERIFY(std::count(rig.view.events.begin(), rig.view.events.end(), "close connect") == 0);
    rig.timer2(1);
    QVERIFY(std::count(rig.view.events.begin(), rig.view.events.end(), "close connect") == 1);
}

void TestController::failed_open_reports_and_leaves_the_watchdog_off() {
    Rig rig;
    rig.port_name = "COM3";
    rig.port.open_result = false;
    rig.controller.connect_action();

    QCOMPARE(rig.port.opened, (std::vector<std::string>{"COM3"}));
    QCOMPARE(rig.view.errors,
             (std::vector<std::string>{"Niewłaściwa nazwa lub jest aktywny port COM3"}));
    QVERIFY(std::find(rig.view.events.begin(), rig.view.events.end(), "show connect") ==
            rig.view.events.end());
    QCOMPARE(rig.link.connecting_on, std::uint8_t{0});
    rig.timer2(300);
    QCOMPARE(rig.view.notices, 0);
    QCOMPARE(rig.view.bars[connect_window], 0);
}

void TestController::silent_link_brings_the_notice_once() {
    Rig rig;
    rig.connect_promptly();
    QCOMPARE(rig.link.link_up, std::uint8_t{1});
    int notice_on_tick = 0;
    int ticks_during_notice = 0;
    rig.view.on_notice = [&] {
        notice_on_tick = rig.timer2_ticks;
        // The user takes a while: the timers go on meanwhile.
        const int before = rig.timer2_ticks;
        rig.run_for(30000);
        ticks_during_notice = rig.timer2_ticks - before;
    };
    rig.run_until([&] { return rig.view.notices > 0; });
    // The connect frame came at 1.0 s, after Timer2's third tick; the notice
    // comes on the 81st quiet tick after it.
    QCOMPARE(notice_on_tick, 3 + 81);
    QCOMPARE(rig.link.watchdog_armed, std::uint8_t{0});
    QCOMPARE(ticks_during_notice, 100);
    rig.run_for(60000);
    QCOMPARE(rig.view.notices, 1);
}

// The tick that shows the notice carries on with its other duties once the
// notice has been dismissed.
void TestController::watchdog_tick_finishes_after_the_notice() {
    Rig rig;
    rig.link.watchdog_armed = 1;
    rig.link.watchdog_ticks = 80;
    rig.link.program_watch_on = 1;
    rig.view.bars[programming_window] = 12;
    rig.link.close_connect_pending = 1;
    rig.link.close_connect_ticks = 6;
    rig.view.on_notice = [&] {
        rig.controller.timer2_tick(); // a tick during the notice: no second notice
        rig.controller.timer1_tick();
    };
    rig.controller.timer2_tick();

    QCOMPARE(rig.view.notices, 1);
    std::size_t dismissed = 0;
    std::size_t closed = 0;
    QVERIFY(position_of(rig.view.events, "notice dismissed", dismissed));
    QVERIFY(position_of(rig.view.events, "close connect", closed));
    QVERIFY(closed < dismissed);                     // closed by the tick inside the notice
    QCOMPARE(rig.view.bars[programming_window], 24); // one step inside, one after
    QCOMPARE(rig.view.events.back(), std::string("bar programming 24"));
    QCOMPARE(rig.link.program_watch_ticks, 2);
}

void TestController::read_refused_without_a_link() {
    Rig rig;
    rig.link.watchdog_armed = 1;
    rig.link.read_failed = 1;
    rig.image.fill(0x12);
    rig.controller.read_action();
    QCOMPARE(rig.view.errors, (std::vector<std::string>{text_read_refused}));
    QCOMPARE(rig.link.watchdog_armed, std::uint8_t{0});
    QCOMPARE(rig.link.read_failed, 0);
    QCOMPARE(rig.link.read_request, std::uint8_t{0});
    QCOMPARE(rig.image[0], std::uint8_t{0x12});
    QVERIFY(rig.view.events.back().rfind("error", 0) == 0);
}

void TestController::prompt_read() {
    Rig rig;
    rig.connect_promptly();
    FakeDevice device(rig.port);
    rig.port.sent.clear();
    rig.image.fill(0x00);
    const std::string status_before = rig.view.status();

    std::vector<int> request_ticks;
    rig.view.on_show[read_window] = [&] {
        QCOMPARE(rig.view.label(read_window), std::string(text_reading));
        QCOMPARE(rig.view.bars[read_window], 0);
        rig.run_until([&] {
            if (requested_pages(rig.port).size() > request_ticks.size()) {
                request_ticks.push_back(rig.timer1_ticks);
            }
            return rig.link.read_watch_on == 0;
        });
    };
    rig.controller.read_action();

    QCOMPARE(rig.port.sent, (std::vector<Bytes>{{0xAA, 0x03, 0x00, 0x03},
                                                {0xAA, 0x03, 0x01, 0x02},
                                                {0xAA, 0x03, 0x02, 0x01},
                                                {0xAA, 0x03, 0x03, 0x00}}));
    QCOMPARE(request_ticks.size(), std::size_t{4});
    for (std::size_t i = 1; i < request_ticks.size(); ++i) {
        QCOMPARE(request_ticks[i], request_ticks[i - 1] + 1);
    }
    QCOMPARE(rig.view.label(read_window), std::string(text_read_done));
    QCOMPARE(rig.view.bars[read_window], 100);
    QCOMPARE(rig.view.decodes, 1);
    QVERIFY(std::equal(device.memory.begin(), device.memory.end(), rig.image.begin()));
    QVERIFY(std::all_of(rig.image.begin() + 2048, rig.image.end(),
                        [](std::uint8_t byte) { return byte == 0xFF; }));
    QCOMPARE(rig.link.read_request, std::uint8_t{0});
    QCOMPARE(rig.view.status(), status_before);

    rig.run_for(20000); // nothing more goes out, the decoders ran once
    QCOMPARE(rig.port.sent.size(), std::size_t{4});
    QCOMPARE(rig.view.decodes, 1);
}

void TestController::page_answered_on_the_third_try() {
    Rig rig;
    rig.connect_promptly();
    FakeDevice device(rig.port);
    device.requests_to_ignore[1] = 2;
    rig.port.sent.clear();
    rig.view.on_show[read_window] = [&] {
        rig.run_until([&] { return rig.link.read_watch_on == 0; });
    };
    rig.controller.read_action();

    QCOMPARE(requested_pages(rig.port), (std::vector<int>{0, 1, 1, 1, 2, 3}));
    QCOMPARE(rig.view.label(read_window), std::string(text_read_done));
    QCOMPARE(rig.link.read_failed, 0);
    QVERIFY(std::equal(device.memory.begin(), device.memory.end(), rig.image.begin()));
}

void TestController::read_times_out_on_the_51st_tick() {
    Rig rig;
    rig.connect_promptly();
    FakeDevice device(rig.port);
    device.requests_to_ignore[2] = 1000;
    rig.view.on_show[read_window] = [&] {
        rig.timer2(50);
        QCOMPARE(rig.link.read_failed, 0);
        QCOMPARE(rig.view.label(read_window), std::string(text_reading));
        rig.controller.timer1_tick();
        rig.controller.timer1_tick();
        rig.controller.timer1_tick();
        rig.controller.timer1_tick();
        const int bar = rig.view.bars[read_window];
        rig.timer2(1);
        QCOMPARE(rig.view.bars[read_window], bar); // the bar stops where it was
    };
    rig.controller.read_action();

    QCOMPARE(rig.link.read_failed, 1);
    QCOMPARE(rig.link.link_up, std::uint8_t{0});
    QCOMPARE(rig.link.read_watch_on, std::uint8_t{0});
    QCOMPARE(rig.link.read_request, std::uint8_t{0});
    QCOMPARE(rig.view.label(read_window), std::string(text_read_failed));
    QCOMPARE(rig.view.status(), std::string(text_link_broken_status));
    QCOMPARE(rig.view.decodes, 0);
    // Pages 0 and 1 arrived; the rest of the image stays erased.
    QVERIFY(std::equal(device.memory.begin(), device.memory.begin() + 1024, rig.image.begin()));
    QVERIFY(std::all_of(rig.image.begin() + 1024, rig.image.end(),
                        [](std::uint8_t byte) { return byte == 0xFF; }));

    const std::size_t sent = rig.port.sent.size();
    rig.run_for(10000);
    QCOMPARE(rig.port.sent.size(), sent); // no more requests
}

void TestController::reply_for_another_page_is_asked_again() {
    Rig rig;
    rig.connect_promptly();
    rig.port.sent.clear();
    rig.view.on_show[read_window] = [&] {
        rig.controller.timer1_tick(); // request page 0
        const Bytes page1 = test::page_pattern(1);
        rig.port.arrive(test::page_reply(1, page1.data()));
        rig.controller.timer1_tick(); // a reply for page 1 where page 0 was asked
    };
    rig.controller.read_action();

    QCOMPARE(requested_pages(rig.port), (std::vector<int>{0, 0}));
    QCOMPARE(rig.link.page_index, std::uint8_t{0});
    QVERIFY(std::all_of(rig.image.begin(), rig.image.end(),
                        [](std::uint8_t byte) { return byte == 0xFF; }));
}

void TestController::corrupt_reply_or_acknowledgement_repeats_the_page() {
    Rig rig;
    rig.connect_promptly();
    rig.port.sent.clear();
    rig.view.on_show[read_window] = [&] {
        rig.controller.timer1_tick();
        const Bytes page0 = test::page_pattern(0);
        Bytes reply = test::page_reply(0, page0.data());
        reply[515] ^= 0x01;
        rig.port.arrive(reply);
        rig.controller.timer1_tick();
    };
    rig.controller.read_action();
    QCOMPARE(requested_pages(rig.port), (std::vector<int>{0, 0}));
    QCOMPARE(rig.image[0], std::uint8_t{0xFF});

    rig.link.read_request = 0;
    rig.port.sent.clear();
    rig.view.on_show[programming_window] = [&] {
        rig.controller.timer1_tick();
        rig.port.arrive({0xAA, 0x02, 0x00, 0x03}); // check byte of page 1
        rig.controller.timer1_tick();
        rig.port.arrive(test::acknowledgement(0));
        rig.controller.timer1_tick();
    };
    rig.controller.start_programming();
    QCOMPARE(written_pages(rig.port), (std::vector<int>{0, 0, 1}));
}

void TestController::programming_four_pages() {
    Rig rig;
    rig.connect_promptly();
    rig.link.watchdog_armed = 0; // as the messages window does first
    FakeDevice device(rig.port);
    device.memory.fill(0xFF);
    for (std::size_t i = 0; i < settings_image_size; ++i) {
        rig.image[i] = static_cast<std::uint8_t>(i * 13 + 5);
    }
    rig.port.sent.clear();
    const std::string status_before = rig.view.status();

    std::vector<int> write_ticks;
    rig.view.on_show[programming_window] = [&] {
        QCOMPARE(rig.view.label(programming_window), std::string(text_programming));
        QCOMPARE(rig.view.bars[programming_window], 0);
        rig.run_until([&] {
            if (written_pages(rig.port).size() > write_ticks.size()) {
                write_ticks.push_back(rig.timer1_ticks);
            }
            return rig.link.programming_on == 0;
        });
    };
    rig.controller.start_programming();

    QCOMPARE(written_pages(rig.port), (std::vector<int>{0, 1, 2, 3}));
    QCOMPARE(write_ticks.back() - write_ticks.front(), 3);
    QVERIFY(std::equal(device.memory.begin(), device.memory.end(), rig.image.begin()));
    QCOMPARE(rig.view.label(programming_window), std::string(text_programming_done));
    QCOMPARE(rig.view.bars[programming_window], 100);
    QCOMPARE(rig.link.program_watch_on, std::uint8_t{0});
    QCOMPARE(rig.view.status(), status_before);
    rig.run_for(20000);
    QCOMPARE(rig.port.sent.size(), std::size_t{4});
}

void TestController::programming_times_out_and_stops_writing() {
    Rig rig;
    rig.connect_promptly();
    FakeDevice device(rig.port);
    device.acknowledge = false;
    rig.port.sent.clear();
    rig.view.on_show[programming_window] = [&] {
        for (int tick = 1; tick <= 50; ++tick) {
            rig.controller.timer2_tick();
            if (tick % 3 == 0) {
                rig.controller.timer1_tick();
            }
        }
        QCOMPARE(rig.view.label(programming_window), std::string(text_programming));
        rig.controller.timer2_tick();
    };
    rig.controller.start_programming();

    QCOMPARE(written_pages(rig.port), std::vector<int>(16, 0));
    QCOMPARE(rig.view.label(programming_window), std::string(text_programming_failed));
    QCOMPARE(rig.link.programming_on, std::uint8_t{0});
    QCOMPARE(rig.link.link_up, std::uint8_t{1}); // left as it was
    rig.run_for(10000);
    QCOMPARE(written_pages(rig.port).size(), std::size_t{16});
}

// Only the acknowledgement of the page being written moves the programming
// on; a repeat of the previous one or a stray one changes nothing.
void TestController::stray_acknowledgements_do_not_move_the_programming() {
    Rig rig;
    rig.connect_promptly();
    rig.port.sent.clear();
    rig.view.on_show[programming_window] = [&] {
        rig.controller.timer1_tick(); // page 0
        rig.port.arrive(test::acknowledgement(0));
        rig.controller.timer1_tick(); // page 1
        rig.port.arrive(test::acknowledgement(0));
        rig.controller.timer1_tick(); // the late repeat: page 1 again
        rig.port.arrive(test::acknowledgement(3));
        rig.controller.timer1_tick(); // a stray last page: still page 1
        QCOMPARE(rig.link.programming_on, std::uint8_t{1});
        rig.port.arrive(test::acknowledgement(1));
        rig.controller.timer1_tick(); // page 2
    };
    rig.controller.start_programming();
    QCOMPARE(written_pages(rig.port), (std::vector<int>{0, 1, 1, 1, 2}));
    QCOMPARE(rig.view.label(programming_window), std::string(text_programming));
}

// The user left the read window with its OK while the read went on, and
// started a programming: the read must neither overwrite the image being
// written nor time out later.
void TestController::programming_started_during_a_read_ends_the_read() {
    Rig rig;
    rig.connect_promptly();
    rig.view.on_show[read_window] = [&] { rig.controller.timer1_tick(); }; // asks for page 0
    rig.controller.read_action();
    rig.port.sent.clear();
    std::fill(rig.image.begin(), rig.image.begin() + 2048, std::uint8_t{0x5A}); // composed
    const Bytes old_page0 = test::page_pattern(0);
    rig.view.on_show[programming_window] = [&] {
        rig.port.arrive(test::page_reply(0, old_page0.data())); // answer to the old request
        rig.controller.timer1_tick();
    };
    rig.controller.start_programming();

    QCOMPARE(rig.port.sent.size(), std::size_t{1}); // no read request beside it
    QCOMPARE(written_pages(rig.port), std::vector<int>{0});
    QVERIFY(std::all_of(rig.port.sent[0].begin() + 3, rig.port.sent[0].end() - 1,
                        [](std::uint8_t byte) { return byte == 0x5A; }));
    QCOMPARE(rig.image[0], std::uint8_t{0x5A});
    QCOMPARE(rig.link.page_index, std::uint8_t{0});
    rig.timer2(60);
    QCOMPARE(rig.link.read_failed, 0);
    QCOMPARE(rig.link.link_up, std::uint8_t{1});
    QCOMPARE(rig.view.decodes, 0);
}

// A read erases the image before filling it: a programming still sending
// pages must stop, and its late acknowledgements must not move the read on.
void TestController::read_started_during_a_programming_ends_the_programming() {
    Rig rig;
    rig.connect_promptly();
    rig.view.on_show[programming_window] = [&] { rig.controller.timer1_tick(); }; // page 0
    rig.controller.start_programming();
    rig.port.sent.clear();
    rig.view.on_show[read_window] = [&] {
        rig.port.arrive(test::acknowledgement(0));
        rig.controller.timer1_tick();
        rig.controller.timer1_tick();
    };
    rig.controller.read_action();

    QCOMPARE(written_pages(rig.port), std::vector<int>{});
    QCOMPARE(requested_pages(rig.port), (std::vector<int>{0, 0}));
    QCOMPARE(rig.link.programming_on, std::uint8_t{0});
    QCOMPARE(rig.view.label(programming_window), std::string(text_programming));
}

// After a read has timed out, late replies neither restart it in the
// background nor fill the image; a valid frame still shows a live device.
void TestController::frames_after_a_failed_read_store_nothing() {
    Rig rig;
    rig.connect_promptly();
    rig.view.on_show[read_window] = [&] { rig.timer2(51); };
    rig.controller.read_action();
    QCOMPARE(rig.link.read_failed, 1);
    rig.port.sent.clear();

    const Bytes page0 = test::page_pattern(0);
    rig.port.arrive(test::page_reply(0, page0.data()));
    rig.controller.timer1_tick();
    rig.controller.timer1_tick();
    QVERIFY(rig.port.sent.empty());
    QCOMPARE(rig.link.read_request, std::uint8_t{0});
    QCOMPARE(rig.image[0], std::uint8_t{0xFF});
    QCOMPARE(rig.view.decodes, 0);

    rig.port.arrive(test::acknowledgement(0));
    rig.controller.timer1_tick();
    QCOMPARE(rig.link.link_up, std::uint8_t{1});
    QCOMPARE(rig.link.page_index, std::uint8_t{0});
    QVERIFY(rig.port.sent.empty());
}

// Whatever ends a programming run ends its watch too: the hidden programming
// window neither turns to the failure text nor keeps stepping its bar.
void TestController::ended_programming_leaves_no_watch() {
    const std::vector<std::function<void(Rig&)>> endings{
        [](Rig& rig) { rig.controller.read_action(); },
        [](Rig& rig) { rig.controller.stop_programming(); },
    };
    for (const auto& end_run : endings) {
        Rig rig;
        rig.connect_promptly();
        rig.view.on_show[programming_window] = [&] { rig.controller.timer1_tick(); };
        rig.controller.start_programming();
        end_run(rig);
        rig.port.sent.clear();
        rig.run_for(20000);
        QCOMPARE(rig.link.program_watch_on, std::uint8_t{0});
        QCOMPARE(rig.view.label(programming_window), std::string(text_programming));
        QCOMPARE(rig.view.bars[programming_window], 0);
        QCOMPARE(written_pages(rig.port), std::vector<int>{});
    }
}

// A read ended from outside (a template load) asks for no more pages, stores
// no reply still on its way, and does not time out later.
void TestController::stopped_read_stores_no_late_reply() {
    Rig rig;
    rig.connect_promptly();
    rig.view.on_show[read_window] = [&] { rig.controller.timer1_tick(); }; // asks for page 0
    rig.controller.read_action();
    std::fill(rig.image.begin(), rig.image.end(), std::uint8_t{0x5A}); // the loaded template
    rig.controller.stop_read();
    rig.port.sent.clear();

    const Bytes page0 = test::page_pattern(0);
    rig.port.arrive(test::page_reply(0, page0.data()));
    rig.controller.timer1_tick();
    rig.timer2(60);
    QVERIFY(rig.port.sent.empty());
    QVERIFY(std::all_of(rig.image.begin(), rig.image.end(),
                        [](std::uint8_t byte) { return byte == 0x5A; }));
    QCOMPARE(rig.view.decodes, 0);
    QCOMPARE(rig.link.read_failed, 0);
    QCOMPARE(rig.link.link_up, std::uint8_t{1});
    QCOMPARE(rig.view.label(read_window), std::string(text_reading));
}

void TestController::bars_wrap_and_never_pass_their_maximum() {
    Rig rig;
    rig.link.link_up = 1;
    rig.view.on_show[read_window] = [&] {
        std::vector<int> bars;
        for (int tick = 0; tick < 19; ++tick) {
            rig.controller.timer2_tick();
            bars.push_back(rig.view.bars[read_window]);
        }
        QCOMPARE(bars[15], 96);
        QCOMPARE(bars[16], 100); // 102 would lie outside the bar's range
        QCOMPARE(bars[17], 0);
        QCOMPARE(bars[18], 6);
    };
    rig.controller.read_action();
}

QTEST_APPLESS_MAIN(TestController)
#include "test_controller.moc"
