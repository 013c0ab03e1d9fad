#pragma once
// The machine's side of the port mapping: the environment, the ports file
// and the serial devices that are there now. Qt Core only, no widgets.
// Linux: serial_devices.cpp; Windows: serial_devices_win.cpp.

#include "link/port_choices.h"
#include "link/port_listing.h"
#include "link/port_mapping.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace gnc {

// Linux: $XDG_CONFIG_HOME/gsm-notifier-config/ports.conf, or under ~/.config
// where XDG_CONFIG_HOME is unset or not an absolute path. Windows:
// %APPDATA%\gsm-notifier-config\ports.conf.
std::string ports_file_path();

// Linux: the serial devices that Qt finds, each with its /dev/serial/by-id
// link, plus /dev/ttyS0 where Qt leaves it out (COM1's default looks at it).
// Windows: the COM ports the system lists, with their friendly names.
std::vector<SerialDevice> serial_devices_now();

// The machine's ports as they are now, or as the override says.
PortSources port_sources_now();
// The machine's own, whatever the override.
PortSources machine_port_sources();
// Tests: ports beyond the machine's (pseudo-terminals the system does not
// list as serial ports). An empty function removes the override.
void override_port_sources(std::function<PortSources()> sources);

// Whether `device` exists and, for a built-in UART on Linux, whether a chip
// answers.
DeviceState probe_device(const std::string& device);

std::string port_listing_now(const std::string& program);

// Whether two paths reach the same device: links followed on Linux, the
// device namespace and letter case set aside on Windows.
bool same_device(const std::string& a, const std::string& b);

// Linux names its ports by device paths, Windows by COM numbers.
PortNaming port_naming();

// The port box's tooltip for `port_name`.
QString port_tooltip(const std::string& port_name, const PortSources& sources);

} // namespace gnc
