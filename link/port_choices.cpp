#include "link/port_choices.h"

#include <algorithm>
#include <cctype>

namespace gnc {

namespace {

std::string eight_name(int number) {
    return "COM" + std::to_string(number);
}

bool reached_by_the_eight(const SerialDevice& device, const PortSources& sources,
                          const SameDevice& same_device) {
    for (int number = 1; number <= com_port_count; ++number) {
        const std::string reached = choose_port_device(eight_name(number), sources).device;
        if (same_device(reached, device.device) ||
            (!device.by_id.empty() && same_device(reached, device.by_id))) {
            return true;
        }
    }
    return false;
}

std::vector<PortItem> com_items_above_the_eight(const PortSources& sources) {
    std::vector<std::pair<int, std::string>> numbered;
    for (const SerialDevice& device : sources.devices) {
        const std::optional<int> number = com_port_number(device.device);
        if (number && *number > com_port_count) {
            numbered.emplace_back(*number, device.device);
        }
    }
    std::sort(numbered.begin(), numbered.end());
    numbered.erase(std::unique(numbered.begin(), numbered.end()), numbered.end());
    std::vector<PortItem> items;
    for (const auto& [number, name] : numbered) {
        items.push_back({name, name});
    }
    return items;
}

std::vector<PortItem> devices_beyond_the_eight(const PortSources& sources,
                                               const SameDevice& same_device) {
    std::vector<PortItem> items;
    for (const SerialDevice& device : sources.devices) {
        if (!device.listed_by_system || !device.is_real_hardware ||
            reached_by_the_eight(device, sources, same_device)) {
            continue;
        }
        items.push_back({device.device, device.by_id.empty() ? device.device : device.by_id});
    }
    return items;
}

bool is_bluetooth(const PortSources& sources, const std::string& device) {
    const SerialDevice* listed = find_serial_device(sources.devices, device);
    return listed != nullptr && listed->is_bluetooth;
}

} // namespace

std::vector<PortItem> further_port_items(const PortSources& sources, PortNaming naming,
                                         const SameDevice& same_device) {
    return naming == PortNaming::com_numbers ? com_items_above_the_eight(sources)
                                             : devices_beyond_the_eight(sources, same_device);
}

std::string typed_port_name(std::string_view text) {
    text = trimmed_text(text);
    const std::string as_upper = upper_ascii(text);
    return com_port_number(as_upper) ? as_upper : std::string(text);
}

std::vector<std::string> search_port_names(const PortSources& sources, PortNaming naming,
                                           const DeviceProbe& probe,
                                           const SameDevice& same_device) {
    std::vector<std::string> names;
    std::vector<std::string> devices;
    const auto add = [&](const std::string& name, const std::string& device) {
        const bool seen = std::any_of(devices.begin(), devices.end(),
                                      [&](const std::string& d) { return same_device(d, device); });
        if (!seen && !is_bluetooth(sources, device)) {
            names.push_back(name);
            devices.push_back(device);
        }
    };
    for (int number = 1; number <= com_port_count; ++number) {
        const std::string device = choose_port_device(eight_name(number), sources).device;
        const DeviceState state = probe(device);
        if (state.exists && state.real_hardware.value_or(true)) {
            add(eight_name(number), device);
        }
    }
    for (const PortItem& item : further_port_items(sources, naming, same_device)) {
        add(item.port_name, choose_port_device(item.port_name, sources).device);
    }
    return names;
}

} // namespace gnc
