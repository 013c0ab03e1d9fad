// The simulated device's options and behaviour, driven with a hand-set clock.

#include "link/frames.h"
#include "sim_device.h"
#include "sim_options.h"
#include "tests/link/link_fakes.h"

#include <QTest>

using namespace gnc;
using gnc::sim::Clock;
using gnc::sim::Memory;
using gnc::sim::Options;
using gnc::sim::SimDevice;
using gnc::test::Bytes;
using std::chrono::milliseconds;

namespace {

std::optional<Options> parse(const std::vector<std::string>& args, std::string* error = nullptr) {
    std::string message;
    auto options = sim::parse_options(args, message);
    if (error != nullptr) {
        *error = message;
    }
    return options;
}

Memory numbered_memory() {
    Memory memory{};
    for (std::size_t i = 0; i < memory.size(); ++i) {
        memory[i] = static_cast<std::uint8_t>(i % 251);
    }
    return memory;
}

// A device just switched on, with a clock the test moves by hand.
struct DeviceRig {
    explicit DeviceRig(const Options& options)
        : device(
              options, numbered_memory(), [](const std::string&) {},
              [this](const Memory&) { ++saves; }) {
        device.power_on(now);
        device.take_due(now); // the first connect offer
    }
    void receive(const Bytes& bytes) { device.receive(bytes.data(), bytes.size(), now); }
    Bytes after(int ms) {
        now += milliseconds(ms);
        return device.take_due(now);
    }

    Clock::time_point now = Clock::now();
    int saves = 0;
    SimDevice device;
};

Bytes write_frame(std::uint8_t page, std::uint8_t fill) {
    Bytes frame(page_frame_size, fill);
    frame[0] = frame_start;
    frame[1] = command_write;
    frame[2] = page;
    frame.back() = check_byte(frame.data(), page_frame_size - 1);
    return frame;
}

Bytes reply_for(std::uint8_t page) {
    const Memory memory = numbered_memory();
    return test::page_reply(page, memory.data() + page * page_size);
}

} // namespace

class TestSimDevice : public QObject {
    Q_OBJECT
  private slots:
    void options_are_read_and_checked();
    void offers_until_answered();
    void silent_and_hanging_up_devices();
    void partial_frames_wait_then_are_given_up();
    void a_page_acknowledged_but_stored_wrongly();
};

void TestSimDevice::options_are_read_and_checked() {
    const auto defaults = parse({});
    QVERIFY(defaults.has_value());
    QCOMPARE(defaults->offer_interval_ms, 1000);
    QCOMPARE(defaults->silent_after, -1);

    const auto options = parse({"--reply-delay", "250", "--never-ack", "--link", "/tmp/x",
                                "--silent-after", "0", "--wrong-page"});
    QVERIFY(options.has_value());
    QCOMPARE(options->reply_delay_ms, 250);
    QVERIFY(options->never_ack && options->wrong_page && !options->corrupt_check);
    QCOMPARE(options->link_path, std::string("/tmp/x"));
    QCOMPARE(options->silent_after, 0);

    std::string error;
    QVERIFY(!parse({"--reply-delay"}, &error));
    QCOMPARE(error, std::string("option --reply-delay needs a value"));
    QVERIFY(!parse({"--ignore-requests", "-1"}, &error));
    QCOMPARE(error, std::string("bad value for --ignore-requests: -1"));
    QVERIFY(!parse({"--hang-up-after", "3x"}));
    QVERIFY(!parse({"--offer-interval", "0"}));
    QVERIFY(!parse({"--memory", ""}));
    QVERIFY(!parse({"--fast"}, &error));
    QCOMPARE(error, std::string("unknown option --fast"));
}

void TestSimDevice::offers_until_answered() {
    Options options;
    options.offer_interval_ms = 500;
    DeviceRig rig(options);
    QVERIFY(rig.after(400).empty());
    QCOMPARE(rig.after(100), test::connect_frame());
    rig.receive(test::connect_frame());
    QVERIFY(rig.after(5000).empty());
    QCOMPARE(rig.device.ms_until_due(rig.now), -1);

    rig.device.power_on(rig.now); // the line was opened again
    QCOMPARE(rig.after(0), test::connect_frame());
}

void TestSimDevice::silent_and_hanging_up_devices() {
    Options silent;
    silent.silent_after = 2;
    DeviceRig quiet(silent);
    quiet.receive(test::connect_frame());
    quiet.receive(test::read_request(0));
    QCOMPARE(quiet.after(0), reply_for(0));
    quiet.receive(test::read_request(1));
    QVERIFY(quiet.after(1000).empty());
    quiet.device.power_on(quiet.now);
    QVERIFY(quiet.after(5000).empty()); // not even a connect offer
    QCOMPARE(quiet.device.frames_received(), 2);

    Options hang_up;
    hang_up.hang_up_after = 2;
    hang_up.reply_delay_ms = 100;
    DeviceRig leaving(hang_up);
    leaving.receive(test::connect_frame());
    leaving.receive(test::read_request(0));
    QVERIFY(!leaving.device.hang_up_due()); // the reply is still to go out
    QVERIFY(leaving.after(99).empty());     // answered 100 ms late
    QCOMPARE(leaving.after(1), reply_for(0));
    QVERIFY(leaving.device.hang_up_due());
}

// A frame may arrive in pieces; a piece whose rest never comes is dropped
// after a while instead of keeping the device busy with it.
void TestSimDevice::partial_frames_wait_then_are_given_up() {
    Options options;
    DeviceRig rig(options);
    rig.receive(test::connect_frame());
    const Bytes request = test::read_request(1);
    rig.receive({request[0], request[1]});
    rig.now += milliseconds(1500);
    rig.receive({request[2], request[3]});
    QCOMPARE(rig.after(0), reply_for(1));

    rig.receive({0xAA}); // a lone start byte
    QVERIFY(rig.after(1999).empty());
    QVERIFY(rig.device.ms_until_due(rig.now) >= 0);
    rig.after(1);
    QCOMPARE(rig.device.ms_until_due(rig.now), -1); // nothing left to wait for
    rig.receive(test::read_request(2));
    QCOMPARE(rig.after(0), reply_for(2));
}

// The fault for verification: the write is acknowledged as usual, but the
// page is kept with its first byte changed; other pages are kept as sent.
void TestSimDevice::a_page_acknowledged_but_stored_wrongly() {
    std::string error;
    QVERIFY(!parse({"--corrupt-store", "4"}, &error));
    QCOMPARE(error, std::string("--corrupt-store takes a page from 0 to 3"));
    const auto options = parse({"--corrupt-store", "1"});
    QVERIFY(options.has_value());
    DeviceRig rig(*options);
    rig.receive(test::connect_frame());
    rig.receive(write_frame(0, 0x30));
    rig.receive(write_frame(1, 0x30));
    const Bytes acknowledgements = rig.after(0);
    Bytes expected = test::acknowledgement(0);
    const Bytes second = test::acknowledgement(1);
    expected.insert(expected.end(), second.begin(), second.end());
    QCOMPARE(acknowledgements, expected);
    const Memory& memory = rig.device.memory();
    QCOMPARE(memory[0], std::uint8_t{0x30});
    QCOMPARE(memory[page_size], std::uint8_t{0x31});
    QCOMPARE(memory[page_size + 1], std::uint8_t{0x30});
    QCOMPARE(rig.saves, 2);
}

QTEST_APPLESS_MAIN(TestSimDevice)
#include "test_sim_device.moc"
