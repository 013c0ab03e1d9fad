#pragma once
// What the port names reach, in words: the --list-ports report and the port
// box's tooltips. Plain C++ over the mapping rules.

#include "link/port_mapping.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace gnc {

struct DeviceState {
    bool exists = false;
    // Known for built-in UARTs only: whether a chip answers behind the name.
    std::optional<bool> real_hardware;
};

using DeviceProbe = std::function<DeviceState(const std::string& device)>;

struct ListingContext {
    std::string program;    // "gsm-notifier-config"
    std::string ports_file; // where the ports file is looked for
    DeviceProbe probe;
};

std::string port_listing(const PortSources& sources, const ListingContext& context);

// Parts that the report of every system shares.
// The words for a port's state, given what the system lists under its device.
using StateWords =
    std::function<std::string(const DeviceState& state, const SerialDevice* listed)>;
// "Port names (ports file: ...):", then for each of COM1 ... COM8 the device it
// reaches, why, and its state; then the lines of the ports file that were
// ignored because they do not read "COMn=<device_word>".
void list_port_names(std::ostream& out, const PortSources& sources, const ListingContext& context,
                     const StateWords& state_words, const char* device_word);
// "    name: value"; nothing for an empty value.
void list_field(std::ostream& out, const char* name, const std::string& value);

// The tooltip of one item of the port box (UTF-8): the device, its product
// where the system knows it, "brak urządzenia" where it does not exist.
std::string port_tooltip_text(const PortSources& sources, const std::string& port_name,
                              const DeviceState& state);

// A word of a shell command line, quoted so that it stays one word.
std::string shell_quoted(const std::string& word);

} // namespace gnc
