// The link controller and the real serial port against the simulated device:
// connect, read its memory, program a changed image, with and without faults.

#include "link/link_controller.h"
#include "link/link_texts.h"
#include "link/serial_port.h"
#include "tests/link/link_fakes.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <functional>
#include <thread>

using namespace gnc;

namespace {

constexpr LinkWindow connect_window = LinkWindow::connect;
constexpr LinkWindow read_window = LinkWindow::read;
constexpr LinkWindow programming_window = LinkWindow::programming;

QByteArray memory_pattern() {
    QByteArray memory(settings_image_size, '\0');
    for (int i = 0; i < memory.size(); ++i) {
        memory[i] = static_cast<char>((i * 11 + 7) % 253);
    }
    return memory;
}

// One simulator on its own pseudo-terminal, reachable as COM1, and the
// controller with the real serial port. Ticks are driven by hand: Timer1 and
// Timer2 once per round, with a short pause for the device to answer.
struct SimRig {
    QTemporaryDir dir;
    QProcess sim;
    LinkState link;
    LinkBuffer buffer{};
    ImageBuffer image{};
    std::string port_name = "COM1";
    SerialPort port;
    test::FakeView view;
    LinkController controller{link, buffer, image, port_name, port, view};
    int pause_ms = 60;

    QString memory_file() const { return dir.filePath("memory.bin"); }
    QString saved_file() const { return dir.filePath("saved.bin"); }

    bool start(const QStringList& faults) {
        QFile memory(memory_file());
        if (!memory.open(QIODevice::WriteOnly) || memory.write(memory_pattern()) != 2048) {
            return false;
        }
        memory.close();
        QStringList arguments{"--offer-interval", "100",    "--memory",
                              memory_file(),      "--save", saved_file()};
        sim.start(QStringLiteral(GNC_SIM_PATH), arguments + faults);
        if (!sim.waitForStarted(5000)) {
            return false;
        }
        while (!sim.canReadLine()) {
            if (!sim.waitForReadyRead(5000)) {
                return false;
            }
        }
        const QByteArray path = sim.readLine().trimmed();
        qputenv("GSM_NOTIFIER_COM1", path);
        return !path.isEmpty();
    }
    ~SimRig() {
        sim.terminate();
        sim.waitForFinished(5000);
    }

    void round() {
        std::this_thread::sleep_for(std::chrono::milliseconds(pause_ms));
        controller.timer1_tick();
        controller.timer2_tick();
    }
    bool rounds_until(const std::function<bool()>& done, int limit = 120) {
        for (int i = 0; i < limit && !done(); ++i) {
            round();
        }
        return done();
    }

    // Connects and waits until the connect window has closed itself.
    bool connect() {
        view.on_show[connect_window] = [this] {
            rounds_until([this] { return !view.open[connect_window]; });
        };
        controller.connect_action();
        return link.link_up == 1 && view.label(connect_window) == text_connected_window;
    }
    bool read() {
        view.on_show[read_window] = [this] {
            rounds_until([this] { return link.read_watch_on == 0; });
        };
        controller.read_action();
        return view.label(read_window) == text_read_done;
    }
    bool program() {
        link.watchdog_armed = 0;
        view.on_show[programming_window] = [this] {
            rounds_until([this] { return link.program_watch_on == 0; });
        };
        controller.start_programming();
        return view.label(programming_window) == text_programming_done;
    }

    bool image_equals(const QByteArray& memory) const {
        return memory.size() == static_cast<int>(settings_image_size) &&
               std::equal(memory.begin(), memory.end(), image.begin(),
                          [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
    }
    QByteArray saved() const {
        QFile file(saved_file());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

class TestSimLink : public QObject {
    Q_OBJECT
  private slots:
    void connect_read_and_program();
    void misplaced_and_unanswered_requests_are_repeated();
    void corrupt_reply_repeats_and_missing_acknowledgements_time_out();
    void dropped_line_times_the_read_out();
};

void TestSimLink::connect_read_and_program() {
    SimRig rig;
    QVERIFY(rig.start({}));
    QVERIFY(rig.connect());
    QCOMPARE(rig.view.status(), std::string(text_connected_status));

    QVERIFY(rig.read());
    QVERIFY(rig.image_equals(memory_pattern()));
    QCOMPARE(rig.view.decodes, 1);

    for (std::size_t i = 0; i < settings_image_size; i += 97) {
        rig.image[i] = static_cast<std::uint8_t>(~rig.image[i]);
    }
    rig.image[2047] = 0x00;
    QVERIFY(rig.program());
    QVERIFY(rig.image_equals(rig.saved()));
}

void TestSimLink::misplaced_and_unanswered_requests_are_repeated() {
    SimRig rig;
    QVERIFY(rig.start({"--ignore-requests", "1", "--wrong-page"}));
    QVERIFY(rig.connect());
    QVERIFY(rig.read());
    QVERIFY(rig.image_equals(memory_pattern()));
}

void TestSimLink::corrupt_reply_repeats_and_missing_acknowledgements_time_out() {
    SimRig rig;
    QVERIFY(rig.start({"--corrupt-check", "--never-ack"}));
    QVERIFY(rig.connect());
    QVERIFY(rig.read());
    QVERIFY(rig.image_equals(memory_pattern()));

    rig.pause_ms = 5; // nothing will answer: no need to wait for it
    rig.image.fill(0x00);
    QVERIFY(!rig.program());
    QCOMPARE(rig.view.label(programming_window), std::string(text_programming_failed));
    QCOMPARE(rig.link.programming_on, std::uint8_t{0});
    // The device stored the page it was sent, without acknowledging it.
    const QByteArray saved = rig.saved();
    QCOMPARE(saved.size(), 2048);
    QCOMPARE(saved.left(512), QByteArray(512, '\0'));
    QCOMPARE(saved.mid(512), memory_pattern().mid(512));
}

void TestSimLink::dropped_line_times_the_read_out() {
    SimRig rig;
    // Frames received: the connect answer and the first read request.
    QVERIFY(rig.start({"--hang-up-after", "2"}));
    QVERIFY(rig.connect());
    rig.view.on_show[read_window] = [&rig] {
        rig.rounds_until([&rig] { return rig.link.read_watch_on == 0; });
    };
    rig.pause_ms = 20;
    rig.controller.read_action();
    QCOMPARE(rig.link.read_failed, 1);
    QCOMPARE(rig.view.label(read_window), std::string(text_read_failed));
    QCOMPARE(rig.view.status(), std::string(text_link_broken_status));
    QVERIFY(rig.sim.waitForFinished(5000));
    QCOMPARE(rig.sim.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestSimLink)
#include "test_sim_link.moc"
