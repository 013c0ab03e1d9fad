#include "app/command_line.h"

#include "gnc_version.h"
#include "link/serial_devices.h"

#include <algorithm>

namespace gnc {

namespace {

constexpr int exit_ok = 0;
constexpr int exit_output_failed = 1;

const char* const program = "gsm-notifier-config";

const char* const help_text =
    "usage: gsm-notifier-config [--list-ports | --version | --help]\n"
    "\n"
    "Programs a GSM SMS alarm notifier over a serial cable. Without options it\n"
    "opens its window; pick the port there (COM1 ... COM8, the further ports\n"
    "listed after them, or \"Wszystkie porty\" to find the device on any port)\n"
    "and connect.\n"
    "\n"
    "  --list-ports   show the device each of COM1 ... COM8 reaches and why, the\n"
    "                 serial devices found on this machine, and the line that\n"
    "                 makes the first USB adapter COM1; opens no window\n"
    "  --version      show the version\n"
    "  --help         show this text\n"
    "\n"
#ifdef _WIN32
    "Port names on Windows, first match wins:\n"
    "  GSM_NOTIFIER_COM1 ... GSM_NOTIFIER_COM8   environment variables naming a\n"
    "                 port, e.g. GSM_NOTIFIER_COM1=COM12\n"
    "  %APPDATA%\\gsm-notifier-config\\ports.conf\n"
    "                 lines such as COM1=COM12, for a fixed setup\n"
    "  defaults       COMn is the Windows port COMn\n"
    "\n"
    "Why a port does not open is shown in the port box's tooltip.\n";
#else
    "Port names on Linux, first match wins:\n"
    "  GSM_NOTIFIER_COM1 ... GSM_NOTIFIER_COM8   environment variables naming a\n"
    "                 device, e.g. GSM_NOTIFIER_COM1=/dev/ttyUSB0\n"
    "  $XDG_CONFIG_HOME/gsm-notifier-config/ports.conf (~/.config/... by default)\n"
    "                 lines such as COM1=/dev/serial/by-id/usb-FTDI_...-port0\n"
    "  defaults       COMn is /dev/ttyS(n-1); COM1 is the only USB serial adapter\n"
    "                 where /dev/ttyS0 has no hardware behind it\n"
    "\n"
    "A port that does not open gets one line on stderr saying why.\n";
#endif

bool has(const std::vector<std::string>& arguments, const char* option) {
    return std::find(arguments.begin() + 1, arguments.end(), option) != arguments.end();
}

int finish(std::ostream& out) {
    out.flush();
    return out ? exit_ok : exit_output_failed;
}

} // namespace

std::optional<int> run_command_line(const std::vector<std::string>& arguments, std::ostream& out) {
    if (arguments.empty()) {
        return std::nullopt;
    }
    if (has(arguments, "--help") || has(arguments, "-h")) {
        out << help_text;
        return finish(out);
    }
    if (has(arguments, "--version")) {
        out << program << ' ' << GNC_VERSION << '\n';
        return finish(out);
    }
    if (has(arguments, "--list-ports")) {
        out << port_listing_now(program);
        return finish(out);
    }
    return std::nullopt;
}

} // namespace gnc
