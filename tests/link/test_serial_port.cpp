// The Qt serial port against pseudo-terminals: line settings, exclusive use,
// sending, and reads that never wait and never lose queued bytes.

#include "link/link_controller.h"
#include "link/link_io.h"
#include "link/link_texts.h"
#include "link/port_choices.h"
#include "link/searching_port.h"
#include "link/serial_devices.h"
#include "link/serial_port.h"
#include "tests/link/link_fakes.h"
#include "tests/support/lock_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace gnc;
using gnc::test::Bytes;

namespace {

// A pseudo-terminal whose slave end the port opens. The test keeps its own
// slave descriptor, opened first, to look at the line and its input queue.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;

    Pty() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            path = name;
        }
    }
    ~Pty() {
        if (master >= 0) {
            close(master);
        }
        if (slave >= 0) {
            close(slave);
        }
    }
    // The far end goes away, as when an adapter is pulled out.
    void hang_up() {
        close(master);
        close(slave);
        master = slave = -1;
    }
    void write_bytes(const Bytes& bytes) const {
        QCOMPARE(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Waits until the slave side has `count` bytes queued (the pty lags).
    bool wait_queued(int count) const {
        for (int i = 0; i < 200; ++i) {
            int queued = 0;
            ioctl(slave, FIONREAD, &queued);
            if (queued >= count) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    Bytes read_bytes(std::size_t count) const {
        Bytes bytes;
        std::uint8_t chunk[1024];
        for (int i = 0; i < 200 && bytes.size() < count; ++i) {
            pollfd fd{master, POLLIN, 0};
            if (poll(&fd, 1, 10) > 0) {
                const ssize_t got = read(master, chunk, sizeof chunk);
                if (got > 0) {
                    bytes.insert(bytes.end(), chunk, chunk + got);
                }
            }
        }
        return bytes;
    }
};

void point_port_at(const char* port_name, const std::string& device) {
    qputenv((std::string("GSM_NOTIFIER_") + port_name).c_str(), device.c_str());
}

Bytes counting_bytes(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 3 + 1) % 256);
    }
    return bytes;
}

} // namespace

class TestSerialPort : public QObject {
    Q_OBJECT
  private slots:
    void port_names_map_to_devices();
    void open_sets_the_line();
    void open_fails_for_a_missing_or_held_port();
    void open_releases_the_previous_port();
    void held_port_gives_the_open_failure_message();
    void send_delivers_whole_frames();
    void without_a_port_nothing_happens();
    void read_takes_at_most_the_limit_and_keeps_the_rest();
    void read_with_nothing_queued_leaves_the_area();
    void dropped_line_reads_nothing_and_is_closed();
    void new_port_survives_the_failure_of_the_old_one();
    void stalled_line_holds_a_send_only_for_its_wire_time();
    void search_takes_the_port_that_offers_while_a_slow_one_opens();
};

void TestSerialPort::port_names_map_to_devices() {
    QTemporaryDir config;
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qunsetenv("GSM_NOTIFIER_COM2");
    qunsetenv("GSM_NOTIFIER_COM8");
    QCOMPARE(device_for_port_name("COM2"), QString("/dev/ttyS1"));
    QCOMPARE(device_for_port_name("COM8"), QString("/dev/ttyS7"));
    point_port_at("COM8", "/dev/ttyUSB0");
    QCOMPARE(device_for_port_name("COM8"), QString("/dev/ttyUSB0"));
    qunsetenv("GSM_NOTIFIER_COM8");
    QCOMPARE(device_for_port_name("/dev/ttyACM0"), QString("/dev/ttyACM0"));
    QCOMPARE(device_for_port_name("COM"), QString("COM"));

    // The ports file in the configuration folder; the environment still wins.
    QVERIFY(QDir(config.path()).mkpath("gsm-notifier-config"));
    QFile file(config.filePath("gsm-notifier-config/ports.conf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("COM2=/dev/serial/by-id/usb-adapter\nCOM8=/dev/ttyACM9\n");
    file.close();
    QCOMPARE(device_for_port_name("COM2"), QString("/dev/serial/by-id/usb-adapter"));
    point_port_at("COM2", "/tmp/notifier");
    QCOMPARE(device_for_port_name("COM2"), QString("/tmp/notifier"));
    qunsetenv("GSM_NOTIFIER_COM2");

    // A relative XDG_CONFIG_HOME is not used: ~/.config is.
    const QByteArray saved_home = qgetenv("HOME");
    const bool had_home = qEnvironmentVariableIsSet("HOME");
    qputenv("HOME", "/home/installer");
    qputenv("XDG_CONFIG_HOME", "relative/folder");
    QCOMPARE(QString::fromStdString(ports_file_path()),
             QString("/home/installer/.config/gsm-notifier-config/ports.conf"));
    qunsetenv("XDG_CONFIG_HOME");
    if (had_home) {
        qputenv("HOME", saved_home);
    } else {
        qunsetenv("HOME");
    }
}

void TestSerialPort::open_sets_the_line() {
    Pty pty;
    point_port_at("COM2", pty.path);
    termios before{};
    tcgetattr(pty.slave, &before);
    cfsetspeed(&before, B9600);
    before.c_cflag |= PARENB | CSTOPB | CRTSCTS;
    before.c_iflag |= IXON | IXOFF | ICRNL;
    before.c_lflag |= ICANON | ECHO;
    tcsetattr(pty.slave, TCSANOW, &before);

    SerialPort port;
    QVERIFY(port.open("COM2"));
    termios line{};
    QCOMPARE(tcgetattr(pty.slave, &line), 0);
    QCOMPARE(cfgetospeed(&line), speed_t(B19200));
    QCOMPARE(cfgetispeed(&line), speed_t(B19200));
    QCOMPARE(line.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    QCOMPARE(line.c_iflag & (IXON | IXOFF | ICRNL), tcflag_t(0));
    QCOMPARE(line.c_lflag & (ICANON | ECHO), tcflag_t(0));
}

void TestSerialPort::open_fails_for_a_missing_or_held_port() {
    point_port_at("COM3", "/nonexistent/serial-device");
    SerialPort missing;
    QVERIFY(!missing.open("COM3"));
    QVERIFY(!missing.is_open());

    Pty pty;
    point_port_at("COM4", pty.path);
    SerialPort first;
    SerialPort second;
    QVERIFY(first.open("COM4"));
    QVERIFY(!second.open("COM4"));
    QVERIFY(first.is_open());
}

void TestSerialPort::open_releases_the_previous_port() {
    Pty one;
    Pty two;
    point_port_at("COM5", one.path);
    point_port_at("COM6", two.path);
    SerialPort port;
    SerialPort other;
    QVERIFY(port.open("COM5"));
    QVERIFY(port.open("COM6"));
    QVERIFY(other.open("COM5"));

    // The same port opened again by its holder works too.
    QVERIFY(port.open("COM6"));
}

void TestSerialPort::held_port_gives_the_open_failure_message() {
    Pty pty;
    point_port_at("COM7", pty.path);
    SerialPort holder;
    QVERIFY(holder.open("COM7"));

    LinkState link;
    LinkBuffer buffer{};
    ImageBuffer image{};
    const std::string port_name = "COM7";
    SerialPort port;
    test::FakeView view;
    LinkController controller(link, buffer, image, port_name, port, view);
    controller.connect_action();
    QCOMPARE(view.errors,
             (std::vector<std::string>{"Niewłaściwa nazwa lub jest aktywny port COM7"}));
    QVERIFY(!view.open[LinkWindow::connect]);
    QCOMPARE(link.connecting_on, std::uint8_t{0});
}

void TestSerialPort::send_delivers_whole_frames() {
    Pty pty;
    point_port_at("COM1", pty.path);
    SerialPort port;
    QVERIFY(port.open("COM1"));
    const Bytes request = test::read_request(2);
    port.send(request.data(), request.size());
    QCOMPARE(pty.read_bytes(4), request);

    const Bytes frame = counting_bytes(516);
    port.send(frame.data(), frame.size());
    QCOMPARE(pty.read_bytes(516), frame);
}

void TestSerialPort::without_a_port_nothing_happens() {
    SerialPort port;
    const Bytes frame = counting_bytes(516);
    port.send(frame.data(), frame.size());
    LinkBuffer buffer;
    buffer.fill(0x77);
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{0});
    QCOMPARE(buffer[receive_offset], std::uint8_t{0x77});

    point_port_at("COM3", "/nonexistent/serial-device");
    QVERIFY(!port.open("COM3"));
    port.send(frame.data(), frame.size());
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{0});
}

void TestSerialPort::read_takes_at_most_the_limit_and_keeps_the_rest() {
    Pty pty;
    point_port_at("COM1", pty.path);
    SerialPort port;
    QVERIFY(port.open("COM1"));
    LinkBuffer buffer;
    buffer.fill(0xEE);

    const Bytes sent = counting_bytes(600);
    pty.write_bytes(sent);
    QVERIFY(pty.wait_queued(600));
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{521});
    QVERIFY(std::equal(sent.begin(), sent.begin() + 521, buffer.begin() + 524));
    QCOMPARE(buffer[1045], std::uint8_t{0xEE});

    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{79});
    QVERIFY(std::equal(sent.begin() + 521, sent.end(), buffer.begin() + 524));
    QVERIFY(std::equal(sent.begin() + 79, sent.begin() + 521, buffer.begin() + 603));
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{0});

    // A 3-byte chunk after a 516-byte one leaves the older bytes from 527 on.
    const Bytes data(512, 0x42);
    pty.write_bytes(test::page_reply(0, data.data()));
    QVERIFY(pty.wait_queued(516));
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{516});
    pty.write_bytes(test::connect_frame());
    QVERIFY(pty.wait_queued(3));
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{3});
    QCOMPARE(buffer[526], std::uint8_t{0x01});
    QCOMPARE(buffer[527], std::uint8_t{0x42});
    QCOMPARE(buffer[1038], std::uint8_t{0x42});
}

void TestSerialPort::read_with_nothing_queued_leaves_the_area() {
    Pty pty;
    point_port_at("COM1", pty.path);
    SerialPort port;
    QVERIFY(port.open("COM1"));
    LinkBuffer buffer;
    buffer.fill(0x5A);
    const LinkBuffer before = buffer;
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{0});
    QVERIFY(buffer == before);
}

void TestSerialPort::dropped_line_reads_nothing_and_is_closed() {
    Pty pty;
    point_port_at("COM1", pty.path);
    SerialPort port;
    QVERIFY(port.open("COM1"));
    pty.hang_up();

    LinkBuffer buffer{};
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{0});
    const Bytes frame = counting_bytes(516);
    port.send(frame.data(), frame.size());
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{0});
    // Left open, the failed line would keep the event loop busy.
    QTRY_VERIFY_WITH_TIMEOUT(!port.is_open(), 2000);
    QVERIFY(!test::lock_file_exists(QString::fromStdString(pty.path)));
}

void TestSerialPort::new_port_survives_the_failure_of_the_old_one() {
    Pty old_line;
    Pty new_line;
    point_port_at("COM1", old_line.path);
    point_port_at("COM2", new_line.path);
    SerialPort port;
    QVERIFY(port.open("COM1"));
    old_line.hang_up();
    LinkBuffer buffer{};
    Read_Comm(port, buffer, receive_limit); // notices the failure
    QVERIFY(port.open("COM2"));
    QTest::qWait(200);
    QVERIFY(port.is_open());
    new_line.write_bytes(test::connect_frame());
    QVERIFY(new_line.wait_queued(3));
    QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{3});
}

// A far end that stops reading: once the line is full, a 516-byte frame that
// cannot leave is given up after about its wire time (270 ms) instead of
// holding the event loop for seconds on every tick.
void TestSerialPort::stalled_line_holds_a_send_only_for_its_wire_time() {
    Pty pty; // nobody reads the master end
    point_port_at("COM7", pty.path);
    SerialPort port;
    QVERIFY(port.open("COM7"));
    const Bytes frame = counting_bytes(516);
    int stalled_sends = 0;
    qint64 longest_ms = 0;
    for (int sent = 0; sent < 1000 && stalled_sends < 3; ++sent) {
        QElapsedTimer clock;
        clock.start();
        port.send(frame.data(), frame.size());
        const qint64 took_ms = clock.elapsed();
        longest_ms = std::max(longest_ms, took_ms);
        if (took_ms > 150) {
            ++stalled_sends;
        }
    }
    QCOMPARE(stalled_sends, 3); // the line did fill up
    QVERIFY2(longest_ms < 1500, qPrintable(QString::number(longest_ms)));
    port.close();
    QVERIFY(!port.is_open());
}

// A port slow to open holds up nothing; bytes before the offer are dropped,
// nothing is sent before it, the offer's chunk comes through as it was, and
// then its port alone is used, the slow one released once it has opened.
void TestSerialPort::search_takes_the_port_that_offers_while_a_slow_one_opens() {
    Pty slow, device;
    for (const Pty* pty : {&slow, &device}) { // raw at once: it would echo until opened
        termios line{};
        tcgetattr(pty->slave, &line);
        cfmakeraw(&line);
        tcsetattr(pty->slave, TCSANOW, &line);
    }
    std::promise<void> release_slow;
    std::shared_future<void> slow_may_open = release_slow.get_future().share();
    std::atomic<bool> slow_opened{false};
    SearchingPort port;
    port.set_candidates([&] {
        return std::vector<SearchingPort::Candidate>{{"SLOW", QString::fromStdString(slow.path)},
                                                     {"COM9", QString::fromStdString(device.path)}};
    });
    port.set_opener([&, slow_may_open](const QString& path) {
        if (path.toStdString() == slow.path)
            slow_may_open.wait();
        auto opened = std::make_unique<SerialPort>();
        const bool open = opened->open_device(path, false);
        slow_opened = slow_opened || (open && path.toStdString() == slow.path);
        return open ? std::move(opened) : nullptr;
    });
    QVERIFY(port.open(all_ports_name));

    device.write_bytes({0xAA, 0x01, 0x02});
    QVERIFY(device.wait_queued(3));
    const std::uint8_t request[] = {0xAA, 0x03, 0x00, 0x03};
    LinkBuffer buffer{};
    for (int tick = 0; tick < 10; ++tick, QTest::qWait(10)) {
        port.send(request, sizeof request); // nowhere yet
        QCOMPARE(Read_Comm(port, buffer, receive_limit), std::size_t{0});
    }
    const Bytes offer{0xAA, 0x01, 0x01, 0x55};
    device.write_bytes(offer);
    QVERIFY(device.wait_queued(4));
    std::size_t got = 0;
    for (int tick = 0; tick < 100 && got == 0; ++tick, QTest::qWait(20))
        got = Read_Comm(port, buffer, receive_limit);
    QCOMPARE(Bytes(buffer.begin() + receive_offset, buffer.begin() + receive_offset + got), offer);
    QCOMPARE(port.port_name(), std::string("COM9"));
    port.send(request, sizeof request);
    QCOMPARE(device.read_bytes(5), Bytes(request, request + 4));
    release_slow.set_value();
    QTRY_VERIFY(slow_opened);
    QTRY_VERIFY(!test::lock_file_exists(QString::fromStdString(slow.path)));
    QVERIFY(port.is_open());
    QCOMPARE(slow.read_bytes(1), Bytes());

    // Where no port opens, the connect action's message says so.
    port.set_candidates([] { return std::vector<SearchingPort::Candidate>{{"COM1", "/no/a"}}; });
    QVERIFY(!port.open(all_ports_name));
    QCOMPARE(port.open_failure_text(all_ports_name), std::string(no_port_opens_text));
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "test_serial_port.moc"
