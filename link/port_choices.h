#pragma once
// What the port box offers beyond "COM1" ... "COM8", what a typed name
// becomes, and which ports the search for the device tries. Plain C++ over
// the mapping rules: the caller hands in the machine (PortSources) and a
// probe for devices, so made-up machines can be tried.

#include "link/port_listing.h"
#include "link/port_mapping.h"

#include <string>
#include <string_view>
#include <vector>

namespace gnc {

// The item at the end of the box: the device is looked for on every port.
inline constexpr const char* all_ports_name = "Wszystkie porty";
inline constexpr const char* all_ports_tooltip =
    "Połączenie zostanie nawiązane na porcie, na którym zgłosi się urządzenie";
inline constexpr const char* no_port_opens_text = "Nie można otworzyć żadnego portu szeregowego";

// How the system names its ports: Windows by COM numbers, Linux by device
// paths.
enum class PortNaming { device_paths, com_numbers };

struct PortItem {
    std::string text;      // what the box shows: "COM14", "/dev/ttyUSB0"
    std::string port_name; // what is opened: "COM14", "/dev/serial/by-id/usb-..."
};

// The ports present besides the eight names. Windows: every COMn above
// COM8, in numeric order. Linux: every serial device the system lists that
// none of the eight names reaches, shown by its device path and opened by
// its stable /dev/serial/by-id path where it has one. `same_device` tells whether two
// paths reach the same device (links followed).
using SameDevice = std::function<bool(const std::string& a, const std::string& b)>;
std::vector<PortItem> further_port_items(const PortSources& sources, PortNaming naming,
                                         const SameDevice& same_device);

// A name typed into the box: blanks around it dropped, a COM name in any
// case written as "COM12"; anything else (a device path, "\\.\COM12") as
// typed. Empty when nothing but blanks was typed.
std::string typed_port_name(std::string_view text);

// The port names that the search for the device opens, each device once:
// those of the eight names that reach an existing device (a built-in UART
// without a chip left out), then the further ports; Bluetooth serial links
// are left out, as opening one can take many seconds.
std::vector<std::string> search_port_names(const PortSources& sources, PortNaming naming,
                                           const DeviceProbe& probe, const SameDevice& same_device);

} // namespace gnc
