// Port names to devices on a made-up machine: the order of the environment,
// the ports file and the defaults, COM1's single-adapter default, the ports
// file's syntax, the --list-ports report, the tooltips and the lines written
// when a port does not open.

#include "link/open_diagnosis.h"
#include "link/port_choices.h"
#include "link/port_listing.h"
#include "link/port_mapping.h"

#include <QTest>

#include <map>

using namespace gnc;

namespace {

SerialDevice ftdi_adapter() {
    SerialDevice device;
    device.device = "/dev/ttyUSB0";
    device.by_id = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3B2C-if00-port0";
    device.maker = "FTDI";
    device.product = "FT232R USB UART";
    device.serial_number = "A10K3B2C";
    device.vid_pid = "0403:6001";
    device.is_usb = true;
    return device;
}

SerialDevice ch340_adapter() {
    SerialDevice device;
    device.device = "/dev/ttyUSB1";
    device.product = "USB Serial";
    device.vid_pid = "1a86:7523";
    device.is_usb = true;
    return device;
}

// A built-in UART as the system reports it.
SerialDevice uart(int index, bool real, bool listed = true) {
    SerialDevice device;
    device.device = "/dev/ttyS" + std::to_string(index);
    device.is_real_hardware = real;
    device.listed_by_system = listed;
    return device;
}

struct Machine {
    std::map<std::string, std::string> environment;
    std::string ports_file;
    std::vector<SerialDevice> devices;

    PortSources sources() const {
        PortSources result;
        result.environment = [this](const std::string& name) {
            const auto found = environment.find(name);
            return found == environment.end() ? std::string() : found->second;
        };
        result.file = parse_ports_file(ports_file);
        result.devices = devices;
        return result;
    }
    PortChoice choose(const std::string& name) const { return choose_port_device(name, sources()); }
};

// A laptop: /dev/ttyS0 without hardware and one FTDI adapter plugged in.
Machine laptop() {
    Machine machine;
    machine.devices = {uart(0, false, false), ftdi_adapter()};
    return machine;
}

ListingContext listing_context(std::map<std::string, DeviceState> states) {
    return {"gsm-notifier-config", "/home/jan/.config/gsm-notifier-config/ports.conf",
            [states](const std::string& device) {
                const auto found = states.find(device);
                return found == states.end() ? DeviceState{} : found->second;
            }};
}

bool same_path(const std::string& a, const std::string& b) {
    return a == b;
}

// A Windows machine with these COM ports ("!": a Bluetooth link).
PortSources windows_pc(std::initializer_list<std::string> ports, const char* file = "") {
    PortSources sources;
    sources.default_device = [](int n) { return "COM" + std::to_string(n); };
    sources.file = parse_ports_file(file);
    for (const std::string& port : ports) {
        SerialDevice device;
        device.device = port.substr(0, port.find('!'));
        device.is_bluetooth = port.back() == '!';
        sources.devices.push_back(device);
    }
    return sources;
}

std::vector<std::string> items_of(const PortSources& sources, PortNaming naming) {
    std::vector<std::string> out;
    for (const PortItem& item : further_port_items(sources, naming, same_path))
        out.push_back(item.text + "=" + item.port_name);
    return out;
}

using Names = std::vector<std::string>;

} // namespace

Q_DECLARE_METATYPE(PortSource)
Q_DECLARE_METATYPE(std::vector<SerialDevice>)

class TestPortMapping : public QObject {
    Q_OBJECT
  private slots:
    void environment_beats_file_beats_default();
    void a_platform_default_replaces_the_linux_one();
    void single_adapter_default_data();
    void single_adapter_default();
    void ports_file_lines();
    void names_that_are_no_com_names_stand_as_they_are();
    void listing_shows_names_devices_and_the_line_to_copy();
    void listing_without_adapters();
    void tooltips_name_device_product_or_absence();
    void open_failure_lines_say_what_to_do();
    void ports_beyond_the_eight();
    void search_tries_each_device_once_and_no_bluetooth_link();
};

void TestPortMapping::environment_beats_file_beats_default() {
    Machine machine = laptop();
    machine.environment = {{"GSM_NOTIFIER_COM2", "/tmp/notifier"}, {"GSM_NOTIFIER_COM4", ""}};
    machine.ports_file = "COM2=/dev/ttyACM0\nCOM3=/dev/serial/by-id/usb-x\nCOM4=/dev/ttyACM1\n";

    const PortChoice com2 = machine.choose("COM2");
    QCOMPARE(com2.device, std::string("/tmp/notifier"));
    QCOMPARE(com2.source, PortSource::environment);
    const PortChoice com3 = machine.choose("COM3");
    QCOMPARE(com3.device, std::string("/dev/serial/by-id/usb-x"));
    QCOMPARE(com3.source, PortSource::configuration_file);
    // An empty variable counts as unset.
    QCOMPARE(machine.choose("COM4").device, std::string("/dev/ttyACM1"));
    const PortChoice com8 = machine.choose("COM8");
    QCOMPARE(com8.device, std::string("/dev/ttyS7"));
    QCOMPARE(com8.source, PortSource::default_device);
    // No ports file, no environment and no devices: the plain defaults.
    QCOMPARE(choose_port_device("COM1", PortSources{}).device, std::string("/dev/ttyS0"));
}

// Windows: COMn is the port COMn, the lone adapter does not become COM1,
// and the environment and the file still come first.
void TestPortMapping::a_platform_default_replaces_the_linux_one() {
    Machine machine = laptop();
    machine.environment = {{"GSM_NOTIFIER_COM2", "COM15"}};
    machine.ports_file = "COM3=COM12\n";
    PortSources sources = machine.sources();
    sources.default_device = [](int number) { return "COM" + std::to_string(number); };
    const PortChoice com1 = choose_port_device("COM1", sources);
    QCOMPARE(com1.device, std::string("COM1"));
    QCOMPARE(com1.source, PortSource::default_device);
    QCOMPARE(choose_port_device("COM2", sources).device, std::string("COM15"));
    QCOMPARE(choose_port_device("COM3", sources).device, std::string("COM12"));
    QCOMPARE(choose_port_device("COM8", sources).device, std::string("COM8"));
}

void TestPortMapping::single_adapter_default_data() {
    QTest::addColumn<std::vector<SerialDevice>>("devices");
    QTest::addColumn<QString>("ports_file");
    QTest::addColumn<QString>("com1_variable");
    QTest::addColumn<QString>("device");
    QTest::addColumn<PortSource>("source");

    const std::vector<SerialDevice> one = {uart(0, false), ftdi_adapter()};
    QTest::newRow("ttyS0 without hardware, one adapter")
        << one << ""
        << ""
        << "/dev/ttyUSB0" << PortSource::single_adapter;
    QTest::newRow("no ttyS0 at all, one adapter") << std::vector<SerialDevice>{ftdi_adapter()} << ""
                                                  << ""
                                                  << "/dev/ttyUSB0" << PortSource::single_adapter;
    QTest::newRow("ttyS0 is real hardware")
        << std::vector<SerialDevice>{uart(0, true), ftdi_adapter()} << ""
        << ""
        << "/dev/ttyS0" << PortSource::default_device;
    QTest::newRow("two adapters") << std::vector<SerialDevice>{uart(0, false), ftdi_adapter(),
                                                               ch340_adapter()}
                                  << ""
                                  << ""
                                  << "/dev/ttyS0" << PortSource::default_device;
    QTest::newRow("no adapter") << std::vector<SerialDevice>{uart(0, false)} << ""
                                << ""
                                << "/dev/ttyS0" << PortSource::default_device;
    QTest::newRow("a real UART elsewhere is no adapter")
        << std::vector<SerialDevice>{uart(0, false), uart(1, true)} << ""
        << ""
        << "/dev/ttyS0" << PortSource::default_device;
    QTest::newRow("COM1 in the ports file") << one << "COM1=/dev/ttyACM3"
                                            << ""
                                            << "/dev/ttyACM3" << PortSource::configuration_file;
    QTest::newRow("COM1 in the environment") << one << ""
                                             << "/tmp/sim"
                                             << "/tmp/sim" << PortSource::environment;
    QTest::newRow("another port in the ports file does not matter")
        << one << "COM2=/dev/ttyACM3"
        << ""
        << "/dev/ttyUSB0" << PortSource::single_adapter;
}

void TestPortMapping::single_adapter_default() {
    QFETCH(std::vector<SerialDevice>, devices);
    QFETCH(QString, ports_file);
    QFETCH(QString, com1_variable);
    QFETCH(QString, device);
    QFETCH(PortSource, source);
    Machine machine;
    machine.devices = devices;
    machine.ports_file = ports_file.toStdString();
    machine.environment["GSM_NOTIFIER_COM1"] = com1_variable.toStdString();

    const PortChoice com1 = machine.choose("COM1");
    QCOMPARE(QString::fromStdString(com1.device), device);
    QCOMPARE(com1.source, source);
    // Only COM1 ever moves to the adapter.
    QCOMPARE(machine.choose("COM5").device, std::string("/dev/ttyS4"));
}

void TestPortMapping::ports_file_lines() {
    const PortsFile file = parse_ports_file("\xEF\xBB\xBF# adapters of the service case\r\n"
                                            "[General]\n"
                                            "\n"
                                            "  COM1 = /dev/serial/by-id/usb-FTDI-port0  \r\n"
                                            "com2=/dev/ttyACM0\n"
                                            "COM3=\"/dev/with space\"\n"
                                            "; COM4=/dev/commented\n"
                                            "COM5\n"
                                            "COM0=/dev/ttyUSB9\n"
                                            "PORT=/dev/ttyUSB9\n"
                                            "COM6=\n"
                                            "COM2=/dev/ttyACM1");
    const std::map<int, std::string> expected = {
        {1, "/dev/serial/by-id/usb-FTDI-port0"}, {2, "/dev/ttyACM1"}, {3, "/dev/with space"}};
    QCOMPARE(file.devices, expected);
    QCOMPARE(file.ignored_lines, (std::vector<int>{8, 9, 10, 11}));
    QVERIFY(parse_ports_file("").devices.empty());
    // A device with a control character in it is no device name.
    const PortsFile control = parse_ports_file(std::string("COM1=\0/dev/x\nCOM2=/dev/\x1b\n", 25));
    QVERIFY(control.devices.empty());
    QCOMPARE(control.ignored_lines, (std::vector<int>{1, 2}));
}

void TestPortMapping::names_that_are_no_com_names_stand_as_they_are() {
    const Machine machine = laptop();
    for (const char* name : {"/dev/ttyACM0", "COM", "COM0", "COM01", "com1", "COM1x", "COM1234"}) {
        const PortChoice choice = machine.choose(name);
        QCOMPARE(choice.device, std::string(name));
        QCOMPARE(choice.source, PortSource::as_named);
    }
    QCOMPARE(machine.choose("COM12").device, std::string("/dev/ttyS11"));
}

void TestPortMapping::listing_shows_names_devices_and_the_line_to_copy() {
    Machine machine = laptop();
    machine.environment = {{"GSM_NOTIFIER_COM2", "/tmp/notifier"}};
    machine.ports_file = "COM3=/dev/serial/by-id/usb-gone\nnonsense\n";
    const std::string listing =
        port_listing(machine.sources(), listing_context({{"/dev/ttyUSB0", {true, std::nullopt}},
                                                         {"/tmp/notifier", {true, std::nullopt}},
                                                         {"/dev/ttyS3", {true, false}},
                                                         {"/dev/ttyS4", {true, true}}}));
    const QString text = QString::fromStdString(listing);

    QVERIFY2(text.contains("COM1  /dev/ttyUSB0  [default: the only USB adapter]  present, USB "
                           "adapter FT232R USB UART\n"),
             listing.c_str());
    QVERIFY(text.contains("COM2  /tmp/notifier  [environment]  present\n"));
    QVERIFY(text.contains("COM3  /dev/serial/by-id/usb-gone  [configuration file]  missing\n"));
    QVERIFY(text.contains("COM4  /dev/ttyS3  [default]  present, no hardware behind it"));
    QVERIFY(text.contains("COM5  /dev/ttyS4  [default]  present, real hardware\n"));
    QVERIFY(text.contains("Lines ignored in the ports file (not COMn=DEVICE): 2\n"));
    QVERIFY(text.contains("  /dev/ttyUSB0  (USB)\n"
                          "    by-id: /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3B2C-if00-"
                          "port0\n"
                          "    maker: FTDI\n"
                          "    product: FT232R USB UART\n"
                          "    serial number: A10K3B2C\n"
                          "    USB vendor:product: 0403:6001\n"));
    // /dev/ttyS0 was only looked at for COM1's default: the system did not list it.
    QVERIFY(!text.contains("\n  /dev/ttyS0"));
    QVERIFY(
        text.contains("mkdir -p '/home/jan/.config/gsm-notifier-config' && echo "
                      "'COM1=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3B2C-if00-port0' >> "
                      "'/home/jan/.config/gsm-notifier-config/ports.conf'\n"));
}

void TestPortMapping::listing_without_adapters() {
    Machine machine;
    machine.devices = {uart(0, true)};
    const QString text = QString::fromStdString(
        port_listing(machine.sources(), listing_context({{"/dev/ttyS0", {true, true}}})));
    QVERIFY(text.contains("COM1  /dev/ttyS0  [default]  present, real hardware\n"));
    QVERIFY(text.contains("COM2  /dev/ttyS1  [default]  missing\n"));
    QVERIFY(text.contains("Serial devices found:\n  /dev/ttyS0\n"));
    QVERIFY(text.endsWith("No USB serial adapter found.\n"));
    QVERIFY(!text.contains("Lines ignored"));

    QCOMPARE(shell_quoted("/home/o'neil/x"), std::string("'/home/o'\\''neil/x'"));
}

void TestPortMapping::tooltips_name_device_product_or_absence() {
    Machine machine = laptop();
    machine.ports_file = "COM2=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3B2C-if00-port0\n";
    const PortSources sources = machine.sources();
    QCOMPARE(QString::fromStdString(port_tooltip_text(sources, "COM1", {true, std::nullopt})),
             QString("/dev/ttyUSB0 (FT232R USB UART)"));
    QCOMPARE(QString::fromStdString(port_tooltip_text(sources, "COM2", {true, std::nullopt})),
             QString("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3B2C-if00-port0 "
                     "(FT232R USB UART)"));
    QCOMPARE(QString::fromStdString(port_tooltip_text(sources, "COM3", {false, std::nullopt})),
             QString::fromUtf8("/dev/ttyS2 (brak urządzenia)"));
    QCOMPARE(QString::fromStdString(port_tooltip_text(sources, "COM4", {true, true})),
             QString("/dev/ttyS3"));
}

// The lines for a missing device, a refused permission and a holder with a
// lock file are checked on real failures (test_open_failure); these are the
// cases no test process can stage.
void TestPortMapping::open_failure_lines_say_what_to_do() {
    OpenFailure failure;
    failure.device = "/dev/ttyUSB0";
    failure.problem = OpenProblem::busy;
    QCOMPARE(open_failure_line("x", failure),
             std::string("x: /dev/ttyUSB0: in use by another program; close that program "
                         "(ModemManager and brltty are the usual suspects that grab USB "
                         "serial adapters)"));
    failure.problem = OpenProblem::stale_lock;
    failure.holder_pid = 4711;
    failure.lock_file = "/var/lock/LCK..ttyUSB0";
    QCOMPARE(open_failure_line("x", failure),
             std::string("x: /dev/ttyUSB0: locked by /var/lock/LCK..ttyUSB0 of process 4711, "
                         "which no longer runs; remove that file"));
    failure.problem = OpenProblem::other;
    failure.system_text = "Input/output error";
    QCOMPARE(open_failure_line("x", failure),
             std::string("x: /dev/ttyUSB0: cannot be opened: Input/output error"));
}

// Linux: the devices no name reaches, opened by their by-id path; Windows:
// the COM numbers above 8 in numeric order.
void TestPortMapping::ports_beyond_the_eight() {
    Machine linux_pc;
    linux_pc.devices = {ftdi_adapter(), ch340_adapter(), uart(4, true), uart(9, true),
                        uart(10, false)};
    linux_pc.environment = {{"GSM_NOTIFIER_COM2", "/dev/ttyUSB1"}};
    QCOMPARE(items_of(linux_pc.sources(), PortNaming::device_paths),
             (Names{"/dev/ttyUSB0=" + ftdi_adapter().by_id, "/dev/ttyS9=/dev/ttyS9"}));
    QCOMPARE(items_of(windows_pc({"COM1", "COM14", "COM3", "COM10"}), PortNaming::com_numbers),
             (Names{"COM10=COM10", "COM14=COM14"}));
}

// Only ports that exist, each device once (COM2 mapped to COM14 counts for
// COM14), no Bluetooth link.
void TestPortMapping::search_tries_each_device_once_and_no_bluetooth_link() {
    const PortSources windows =
        windows_pc({"COM3", "COM4!", "COM11!", "COM14", "COM20"}, "COM2=COM14\n");
    const DeviceProbe listed = [&](const std::string& device) {
        return DeviceState{find_serial_device(windows.devices, device) != nullptr, {}};
    };
    QCOMPARE(search_port_names(windows, PortNaming::com_numbers, listed, same_path),
             (Names{"COM2", "COM3", "COM20"}));
}

QTEST_APPLESS_MAIN(TestPortMapping)
#include "test_port_mapping.moc"
