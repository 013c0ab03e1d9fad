#pragma once
// Which device a port name ("COM1" ... "COM8") reaches, and why.
// Plain C++: the caller hands in the environment, the ports file and the
// serial devices found on the machine, so the rules can be tried with a
// made-up machine.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gnc {

inline constexpr int com_port_count = 8;

// One serial device as the system lists it.
struct SerialDevice {
    std::string device;        // "/dev/ttyUSB0"
    std::string by_id;         // "/dev/serial/by-id/usb-...", empty when there is none
    std::string maker;         // "FTDI"
    std::string product;       // "FT232R USB UART"
    std::string serial_number; // "A10K3B2C"
    std::string vid_pid;       // "0403:6001", empty for a device that is not on USB
    bool is_usb = false;
    // False for a built-in UART that the kernel knows but no chip answers
    // (TIOCGSERIAL reports its type as unknown).
    bool is_real_hardware = true;
    // False for a built-in UART looked at only to apply COM1's default: the
    // system's own list of ports leaves it out.
    bool listed_by_system = true;
    // A serial link over Bluetooth (Windows): opening it can take many
    // seconds while the system tries to reach the paired device.
    bool is_bluetooth = false;
};

enum class PortSource {
    environment,        // GSM_NOTIFIER_COMn
    configuration_file, // ports.conf
    default_device,     // COMn -> /dev/ttyS(n-1) on Linux, COMn on Windows
    single_adapter,     // COM1 -> the only USB adapter, where /dev/ttyS0 is no port
    as_named,           // not a COM name: used as it stands
};

struct PortChoice {
    std::string device;
    PortSource source = PortSource::as_named;
};

// The ports file: "COM1=/dev/serial/by-id/..." lines. Blank lines, comments
// ('#' or ';') and a "[General]" section line are allowed; any other line
// without a COM name and a device is ignored and its number kept.
struct PortsFile {
    std::map<int, std::string> devices; // port number -> device
    std::vector<int> ignored_lines;
};

PortsFile parse_ports_file(std::string_view text);

struct PortSources {
    // Value of an environment variable; empty when it is not set.
    std::function<std::string(const std::string& variable)> environment;
    PortsFile file;
    std::vector<SerialDevice> devices;
    // The device a COM name reaches when neither the environment nor the
    // file names one. Unset: the Linux default, /dev/ttyS(n-1), with COM1's
    // single-adapter rule.
    std::function<std::string(int port_number)> default_device;
};

// `text` without the blanks around it.
std::string_view trimmed_text(std::string_view text);
// `text` with its ASCII letters in upper case (port names, ports-file keys).
std::string upper_ascii(std::string_view text);

// 3 for "COM3"; nothing for any other name.
std::optional<int> com_port_number(std::string_view port_name);

std::string environment_variable_for(int port_number);
std::string built_in_device_for(int port_number);

PortChoice choose_port_device(const std::string& port_name, const PortSources& sources);

// The device listed under `path`, by its own path or its by-id link.
const SerialDevice* find_serial_device(const std::vector<SerialDevice>& devices,
                                       const std::string& path);

// The USB adapters among `devices`, in their order.
std::vector<const SerialDevice*> usb_adapters(const std::vector<SerialDevice>& devices);

std::string source_name(PortSource source);

} // namespace gnc
