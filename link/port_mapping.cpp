#include "link/port_mapping.h"

#include <algorithm>
#include <cctype>

namespace gnc {

std::string_view trimmed_text(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string upper_ascii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

namespace {

bool is_comment_or_section(std::string_view line) {
    return line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '[';
}

// A device named with quotes, as the Qt settings classes write a value that
// holds special characters, is taken without them.
std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool parse_ports_line(std::string_view line, PortsFile& file) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    const std::optional<int> number =
        com_port_number(upper_ascii(trimmed_text(line.substr(0, equals))));
    const std::string_view device = unquoted(trimmed_text(line.substr(equals + 1)));
    const bool control_character = std::any_of(device.begin(), device.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (!number || device.empty() || control_character) {
        return false;
    }
    file.devices[*number] = std::string(device);
    return true;
}

bool built_in_uart_is_real(const std::vector<SerialDevice>& devices, int port_number) {
    const SerialDevice* uart = find_serial_device(devices, built_in_device_for(port_number));
    return uart != nullptr && uart->is_real_hardware;
}

} // namespace

PortsFile parse_ports_file(std::string_view text) {
    // Editors on other systems may start the file with a byte-order mark.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    PortsFile file;
    int line_number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = trimmed_text(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        ++line_number;
        if (!is_comment_or_section(line) && !parse_ports_line(line, file)) {
            file.ignored_lines.push_back(line_number);
        }
    }
    return file;
}

std::optional<int> com_port_number(std::string_view port_name) {
    if (port_name.size() < 4 || port_name.size() > 6 || port_name.substr(0, 3) != "COM" ||
        port_name[3] == '0') {
        return std::nullopt;
    }
    int number = 0;
    for (const char c : port_name.substr(3)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

std::string environment_variable_for(int port_number) {
    return "GSM_NOTIFIER_COM" + std::to_string(port_number);
}

std::string built_in_device_for(int port_number) {
    return "/dev/ttyS" + std::to_string(port_number - 1);
}

// The environment beats the ports file, which beats the defaults. COM1's
// default is /dev/ttyS0 unless that is no real port and exactly one USB
// adapter is plugged in: then COM1 reaches the adapter, the common case on a
// laptop.
PortChoice choose_port_device(const std::string& port_name, const PortSources& sources) {
    const std::optional<int> number = com_port_number(port_name);
    if (!number) {
        return {port_name, PortSource::as_named};
    }
    if (sources.environment) {
        std::string device = sources.environment(environment_variable_for(*number));
        if (!device.empty()) {
            return {std::move(device), PortSource::environment};
        }
    }
    if (const auto configured = sources.file.devices.find(*number);
        configured != sources.file.devices.end()) {
        return {configured->second, PortSource::configuration_file};
    }
    if (sources.default_device) {
        return {sources.default_device(*number), PortSource::default_device};
    }
    if (*number == 1 && !built_in_uart_is_real(sources.devices, 1)) {
        const std::vector<const SerialDevice*> adapters = usb_adapters(sources.devices);
        if (adapters.size() == 1) {
            return {adapters.front()->device, PortSource::single_adapter};
        }
    }
    return {built_in_device_for(*number), PortSource::default_device};
}

const SerialDevice* find_serial_device(const std::vector<SerialDevice>& devices,
                                       const std::string& path) {
    const auto found = std::find_if(devices.begin(), devices.end(), [&](const SerialDevice& d) {
        return d.device == path || (!d.by_id.empty() && d.by_id == path);
    });
    return found == devices.end() ? nullptr : &*found;
}

std::vector<const SerialDevice*> usb_adapters(const std::vector<SerialDevice>& devices) {
    std::vector<const SerialDevice*> adapters;
    for (const SerialDevice& device : devices) {
        if (device.is_usb) {
            adapters.push_back(&device);
        }
    }
    return adapters;
}

std::string source_name(PortSource source) {
    switch (source) {
    case PortSource::environment:
        return "environment";
    case PortSource::configuration_file:
        return "configuration file";
    case PortSource::default_device:
        return "default";
    case PortSource::single_adapter:
        return "default: the only USB adapter";
    case PortSource::as_named:
        return "as named";
    }
    return {};
}

} // namespace gnc
