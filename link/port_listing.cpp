#include "link/port_listing.h"

#include <sstream>

namespace gnc {

namespace {

std::string state_text(const DeviceState& state, const SerialDevice* listed) {
    if (!state.exists) {
        return "missing";
    }
    if (listed != nullptr && listed->is_usb) {
        return listed->product.empty() ? "present, USB adapter"
                                       : "present, USB adapter " + listed->product;
    }
    if (!state.real_hardware) {
        return "present";
    }
    return *state.real_hardware ? "present, real hardware"
                                : "present, no hardware behind it (UART type unknown)";
}

void list_devices(std::ostream& out, const std::vector<SerialDevice>& devices) {
    out << "\nSerial devices found:\n";
    bool any = false;
    for (const SerialDevice& device : devices) {
        if (!device.listed_by_system) {
            continue;
        }
        any = true;
        out << "  " << device.device << (device.is_usb ? "  (USB)" : "") << '\n';
        list_field(out, "by-id", device.by_id);
        list_field(out, "maker", device.maker);
        list_field(out, "product", device.product);
        list_field(out, "serial number", device.serial_number);
        list_field(out, "USB vendor:product", device.vid_pid);
    }
    if (!any) {
        out << "  none\n";
    }
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

void suggest_first_adapter(std::ostream& out, const PortSources& sources,
                           const ListingContext& context) {
    const std::vector<const SerialDevice*> adapters = usb_adapters(sources.devices);
    if (adapters.empty()) {
        out << "\nNo USB serial adapter found.\n";
        return;
    }
    const SerialDevice& first = *adapters.front();
    const std::string stable = first.by_id.empty() ? first.device : first.by_id;
    out << "\nTo reach " << first.device << " as COM1 from now on:\n  mkdir -p "
        << shell_quoted(folder_of(context.ports_file)) << " && echo "
        << shell_quoted("COM1=" + stable) << " >> " << shell_quoted(context.ports_file) << '\n';
}

} // namespace

std::string port_listing(const PortSources& sources, const ListingContext& context) {
    std::ostringstream out;
    list_port_names(out, sources, context, state_text, "DEVICE");
    list_devices(out, sources.devices);
    suggest_first_adapter(out, sources, context);
    return out.str();
}

void list_port_names(std::ostream& out, const PortSources& sources, const ListingContext& context,
                     const StateWords& state_words, const char* device_word) {
    out << "Port names (ports file: " << context.ports_file << "):\n";
    for (int number = 1; number <= com_port_count; ++number) {
        const PortChoice choice = choose_port_device("COM" + std::to_string(number), sources);
        const DeviceState state = context.probe ? context.probe(choice.device) : DeviceState{};
        out << "  COM" << number << "  " << choice.device << "  [" << source_name(choice.source)
            << "]  " << state_words(state, find_serial_device(sources.devices, choice.device))
            << '\n';
    }
    if (!sources.file.ignored_lines.empty()) {
        out << "  Lines ignored in the ports file (not COMn=" << device_word << "):";
        for (const int line : sources.file.ignored_lines) {
            out << ' ' << line;
        }
        out << '\n';
    }
}

void list_field(std::ostream& out, const char* name, const std::string& value) {
    if (!value.empty()) {
        out << "    " << name << ": " << value << '\n';
    }
}

std::string port_tooltip_text(const PortSources& sources, const std::string& port_name,
                              const DeviceState& state) {
    const PortChoice choice = choose_port_device(port_name, sources);
    if (!state.exists) {
        return choice.device + " (brak urządzenia)";
    }
    const SerialDevice* listed = find_serial_device(sources.devices, choice.device);
    if (listed == nullptr || listed->product.empty()) {
        return choice.device;
    }
    return choice.device + " (" + listed->product + ")";
}

std::string shell_quoted(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace gnc
