#include "link/port_listing_win.h"

#include <sstream>

namespace gnc {

namespace {

std::string state_text(const DeviceState& state, const SerialDevice* listed) {
    if (!state.exists) {
        return "missing";
    }
    return listed == nullptr || listed->product.empty() ? "present" : "present, " + listed->product;
}

void list_ports(std::ostream& out, const std::vector<SerialDevice>& devices) {
    out << "\nSerial ports Windows knows:\n";
    for (const SerialDevice& device : devices) {
        out << "  " << device.device;
        if (!device.product.empty()) {
            out << "  " << device.product;
        }
        out << (device.is_usb ? "  (USB)" : "") << '\n';
        list_field(out, "maker", device.maker);
        list_field(out, "serial number", device.serial_number);
        list_field(out, "USB vendor:product", device.vid_pid);
    }
    if (devices.empty()) {
        out << "  none\n";
    }
}

void suggest_first_adapter(std::ostream& out, const PortSources& sources,
                           const ListingContext& context) {
    const SerialDevice* adapter = first_adapter(sources.devices);
    if (adapter == nullptr) {
        out << "\nNo USB serial adapter found.\n";
        return;
    }
    if (choose_port_device("COM1", sources).device == adapter->device) {
        out << "\nCOM1 reaches " << adapter->device << " already.\n";
        return;
    }
    out << "\nTo reach " << adapter->device
        << " as COM1 from now on, put this line in the ports file (" << context.ports_file
        << "):\n  COM1=" << adapter->device << '\n';
}

} // namespace

std::string windows_port_listing(const PortSources& sources, const ListingContext& context) {
    std::ostringstream out;
    list_port_names(out, sources, context, state_text, "PORT");
    list_ports(out, sources.devices);
    suggest_first_adapter(out, sources, context);
    return out.str();
}

const SerialDevice* first_adapter(const std::vector<SerialDevice>& devices) {
    const std::vector<const SerialDevice*> adapters = usb_adapters(devices);
    if (!adapters.empty()) {
        return adapters.front();
    }
    for (const SerialDevice& device : devices) {
        const std::optional<int> number = com_port_number(device.device);
        if (number && *number > com_port_count) {
            return &device;
        }
    }
    return nullptr;
}

} // namespace gnc
