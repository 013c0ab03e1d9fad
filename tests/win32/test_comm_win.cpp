// The Windows serial port's parts that need no device: the line settings
// block, the names CreateFileW gets, the open-failure lines, the --list-ports
// report from a made-up machine; and a port that is not there.

#include "link/comm_win.h"
#include "link/port_listing_win.h"
#include "link/serial_port.h"

#include <QTest>

#include <cstring>

using namespace gnc;

namespace {

QString text(const std::wstring& wide) {
    return QString::fromStdWString(wide);
}

SerialDevice port(const std::string& name, const std::string& friendly, bool usb = false,
                  const std::string& vid_pid = {}) {
    SerialDevice device;
    device.device = name;
    device.product = friendly;
    device.is_usb = usb;
    device.vid_pid = vid_pid;
    return device;
}

PortSources windows_machine(std::vector<SerialDevice> devices) {
    PortSources sources;
    sources.environment = [](const std::string&) { return std::string(); };
    sources.devices = std::move(devices);
    sources.default_device = [](int number) { return "COM" + std::to_string(number); };
    return sources;
}

ListingContext listing_context(const PortSources& sources) {
    return {"gsm-notifier-template", "C:\\Users\\Ala\\AppData\\Roaming\\ports.conf",
            [&sources](const std::string& device) {
                return DeviceState{find_serial_device(sources.devices, device) != nullptr,
                                   std::nullopt};
            }};
}

} // namespace

class TestCommWin : public QObject {
    Q_OBJECT
  private slots:
    void the_block_holds_exactly_the_line_settings();
    void equal_flow_characters_are_replaced_only_in_the_retry();
    void port_names_reach_the_device_namespace();
    void open_failures_say_why();
    void listing_shows_friendly_names_and_the_com1_line();
    void listing_without_adapters();
    void a_missing_port_does_not_open_and_nothing_happens();
};

void TestCommWin::the_block_holds_exactly_the_line_settings() {
    const DCB block = comm::line_settings_block();
    QCOMPARE(block.DCBlength, DWORD(28));
    QCOMPARE(block.BaudRate, DWORD(19200));
    QCOMPARE(int(block.ByteSize), 8);
    QCOMPARE(int(block.Parity), NOPARITY);
    QCOMPARE(int(block.StopBits), ONESTOPBIT);
    QCOMPARE(int(block.fParity), 1);
    QCOMPARE(int(block.fBinary), 1);
    QCOMPARE(int(block.fRtsControl), RTS_CONTROL_ENABLE);
    QCOMPARE(int(block.fDtrControl), DTR_CONTROL_DISABLE);
    // Every other field, flags, limits and characters alike, is zero.
    DCB expected;
    std::memset(&expected, 0, sizeof expected);
    expected.DCBlength = sizeof(DCB);
    expected.BaudRate = CBR_19200;
    expected.ByteSize = 8;
    expected.fParity = 1;
    expected.fBinary = 1;
    expected.fRtsControl = RTS_CONTROL_ENABLE;
    expected.fDtrControl = DTR_CONTROL_DISABLE;
    QVERIFY(std::memcmp(&block, &expected, sizeof(DCB)) == 0);
}

void TestCommWin::equal_flow_characters_are_replaced_only_in_the_retry() {
    const DCB block = comm::line_settings_block();
    DCB retry = comm::with_distinct_flow_characters(block);
    QCOMPARE(int(retry.XonChar), 0x11);
    QCOMPARE(int(retry.XoffChar), 0x13);
    QCOMPARE(int(retry.fOutX) + int(retry.fInX), 0);
    retry.XonChar = 0;
    retry.XoffChar = 0;
    QVERIFY(std::memcmp(&block, &retry, sizeof(DCB)) == 0);
}

void TestCommWin::port_names_reach_the_device_namespace() {
    QCOMPARE(text(comm::device_path("COM1")), QStringLiteral("\\\\.\\COM1"));
    QCOMPARE(text(comm::device_path("COM12")), QStringLiteral("\\\\.\\COM12"));
    QCOMPARE(text(comm::device_path("com256")), QStringLiteral("\\\\.\\COM256"));
    QCOMPARE(text(comm::device_path("\\\\.\\COM3")), QStringLiteral("\\\\.\\COM3"));
    QCOMPARE(text(comm::device_path("CNCA0")), QStringLiteral("\\\\.\\CNCA0"));
    QCOMPARE(text(comm::device_path("Z:\\tmp\\com")), QStringLiteral("Z:\\tmp\\com"));
    // UTF-8 names arrive as UTF-16, not through the ANSI code page.
    QCOMPARE(text(comm::device_path("Z:\\łącze")), QStringLiteral("Z:\\łącze"));
    QCOMPARE(comm::to_utf8(comm::to_wide("Zażółć")), std::string("Zażółć"));
}

void TestCommWin::open_failures_say_why() {
    QCOMPARE(comm::open_problem("COM9", ERROR_FILE_NOT_FOUND), OpenProblem::missing);
    QCOMPARE(comm::open_problem("COM9", ERROR_PATH_NOT_FOUND), OpenProblem::missing);
    for (const char* held : {"COM3", "com3", "\\\\.\\COM3"}) {
        QCOMPARE(comm::open_problem(held, ERROR_ACCESS_DENIED), OpenProblem::busy);
        QCOMPARE(comm::open_problem(held, ERROR_SHARING_VIOLATION), OpenProblem::busy);
    }
    QCOMPARE(comm::open_problem("\\\\.\\CNCA0", ERROR_ACCESS_DENIED), OpenProblem::permission);
    QCOMPARE(comm::open_problem("\\\\.\\CNCA0", ERROR_SHARING_VIOLATION), OpenProblem::busy);
    QCOMPARE(comm::open_problem("COM3", ERROR_GEN_FAILURE), OpenProblem::other);

    QCOMPARE(comm::open_failure_line("gsm-notifier-template", "COM12", ERROR_ACCESS_DENIED, "x"),
             std::string("gsm-notifier-template: COM12: in use by another program; close that "
                         "program (another configurator, a terminal program or the adapter "
                         "maker's tool)"));
    QCOMPARE(comm::open_failure_line("gsm-notifier-config", "COM9", ERROR_FILE_NOT_FOUND, ""),
             std::string("gsm-notifier-config: COM9: no such port; see the ports Windows knows "
                         "with: gsm-notifier-template --list-ports"));
    QCOMPARE(comm::open_failure_line("p", "Z:\\dev", ERROR_ACCESS_DENIED, ""),
             std::string("p: Z:\\dev: access denied"));
    QCOMPARE(comm::open_failure_line("p", "COM3", ERROR_GEN_FAILURE, "The device fails"),
             std::string("p: COM3: cannot be opened: The device fails (error 31)"));
    QCOMPARE(comm::open_failure_line("p", "COM3", ERROR_GEN_FAILURE, ""),
             std::string("p: COM3: cannot be opened (error 31)"));

    // The port box's words for the same failures.
    QCOMPARE(comm::open_failure_words("COM3", ERROR_SHARING_VIOLATION),
             std::string("port zajęty przez inny program"));
    QCOMPARE(comm::open_failure_words("COM9", ERROR_FILE_NOT_FOUND),
             std::string("brak urządzenia"));
    QCOMPARE(comm::open_failure_words("Z:\\dev", ERROR_ACCESS_DENIED),
             std::string("brak dostępu do portu"));
    QCOMPARE(comm::open_failure_words("COM3", ERROR_GEN_FAILURE),
             std::string("port nie daje się otworzyć (błąd 31)"));
}

void TestCommWin::listing_shows_friendly_names_and_the_com1_line() {
    PortSources sources =
        windows_machine({port("COM3", "Communications Port (COM3)"),
                         port("COM12", "USB-SERIAL CH340 (COM12)", true, "1a86:7523")});
    sources.file.devices[2] = "COM12";
    const std::string listing = windows_port_listing(sources, listing_context(sources));
    QCOMPARE(
        QString::fromStdString(listing),
        QStringLiteral("Port names (ports file: C:\\Users\\Ala\\AppData\\Roaming\\ports.conf):\n"
                       "  COM1  COM1  [default]  missing\n"
                       "  COM2  COM12  [configuration file]  present, USB-SERIAL CH340 (COM12)\n"
                       "  COM3  COM3  [default]  present, Communications Port (COM3)\n"
                       "  COM4  COM4  [default]  missing\n"
                       "  COM5  COM5  [default]  missing\n"
                       "  COM6  COM6  [default]  missing\n"
                       "  COM7  COM7  [default]  missing\n"
                       "  COM8  COM8  [default]  missing\n"
                       "\n"
                       "Serial ports Windows knows:\n"
                       "  COM3  Communications Port (COM3)\n"
                       "  COM12  USB-SERIAL CH340 (COM12)  (USB)\n"
                       "    USB vendor:product: 1a86:7523\n"
                       "\n"
                       "To reach COM12 as COM1 from now on, put this line in the ports file "
                       "(C:\\Users\\Ala\\AppData\\Roaming\\ports.conf):\n"
                       "  COM1=COM12\n"));

    // The environment beats the file; COM1 then needs no line.
    sources.environment = [](const std::string& variable) {
        return variable == "GSM_NOTIFIER_COM1" ? std::string("COM12") : std::string();
    };
    const std::string mapped = windows_port_listing(sources, listing_context(sources));
    QVERIFY(mapped.find("  COM1  COM12  [environment]  present, USB-SERIAL CH340 (COM12)\n") !=
            std::string::npos);
    QVERIFY(mapped.find("\nCOM1 reaches COM12 already.\n") != std::string::npos);
}

void TestCommWin::listing_without_adapters() {
    // Only the registry's names: a port above COM8 is taken for the adapter.
    PortSources sources = windows_machine({port("COM1", ""), port("COM10", "")});
    sources.file = parse_ports_file("COM1=COM10\nnonsense\n");
    const std::string listing = windows_port_listing(sources, listing_context(sources));
    QVERIFY(listing.find("  COM1  COM10  [configuration file]  present\n") != std::string::npos);
    QVERIFY(listing.find("  Lines ignored in the ports file (not COMn=PORT): 2\n") !=
            std::string::npos);
    QVERIFY(listing.find("\nCOM1 reaches COM10 already.\n") != std::string::npos);

    const PortSources bare = windows_machine({port("COM1", "Communications Port (COM1)")});
    const std::string plain = windows_port_listing(bare, listing_context(bare));
    QVERIFY(plain.find("\nNo USB serial adapter found.\n") != std::string::npos);
    const PortSources none = windows_machine({});
    QVERIFY(windows_port_listing(none, listing_context(none)).find("  none\n") !=
            std::string::npos);
}

void TestCommWin::a_missing_port_does_not_open_and_nothing_happens() {
    SerialPort port;
    QVERIFY(!port.open("COM200"));
    QVERIFY(!port.is_open());
    // Kept for the port box's tooltip.
    QCOMPARE(comm::last_open_failure("COM200"), std::optional<DWORD>(ERROR_FILE_NOT_FOUND));
    const std::uint8_t frame[] = {0xAA, 0x01, 0x01};
    port.send(frame, sizeof frame);
    std::uint8_t received[8] = {};
    QCOMPARE(port.read_available(received, sizeof received), std::size_t(0));
    port.close();
}

QTEST_GUILESS_MAIN(TestCommWin)
#include "test_comm_win.moc"
