// gsm-notifier-template: prints the settings a template file holds, decoded
// exactly as the configurator decodes a loaded template, without any window;
// reads and programs devices through the configurator's link, keeps backups
// of what it reads, and compares templates.

#include "app/program_arguments.h"
#include "editors/settings_sheet.h"
#include "image/decoder.h"
#include "image/template_file.h"
#include "tools/template/console_output.h"
#include "tools/template/field_commands.h"
#include "tools/template/interruption.h"
#include "tools/template/settings_report.h"

#include "link/serial_devices.h"

#include "gnc_version.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int exit_ok = 0;
constexpr int exit_unreadable = 1;
constexpr int exit_usage = 2;

const char* const usage_line =
    "usage: gsm-notifier-template show FILE [--json]\n"
    "       gsm-notifier-template report IN.sbn OUT.pdf\n"
    "       gsm-notifier-template read --port COMn OUT.sbn [--report OUT.pdf]\n"
    "       gsm-notifier-template program --port COMn IN.sbn [--no-verify]\n"
    "       gsm-notifier-template backups\n"
    "       gsm-notifier-template diff A.sbn B.sbn [--json]\n";

const char* const help_text =
    "usage: gsm-notifier-template show FILE [--json]\n"
    "       gsm-notifier-template report IN.sbn OUT.pdf\n"
    "       gsm-notifier-template read --port COMn OUT.sbn [--report OUT.pdf]\n"
    "       gsm-notifier-template program --port COMn IN.sbn [--no-verify]\n"
    "       gsm-notifier-template backups\n"
    "       gsm-notifier-template diff A.sbn B.sbn [--json]\n"
    "       gsm-notifier-template --list-ports | --help | --version\n"
    "\n"
    "Checks settings template files (.sbn) without opening the configurator's\n"
    "windows, and reads and programs devices from a shell, through the same link\n"
    "as the configurator (same frames, pace, repetitions and time-outs).\n"
    "\n"
    "  show FILE          one \"name: value\" line per settings value, decoded\n"
    "                     exactly as the configurator decodes a template it loads:\n"
    "                     fields whose check bytes do not match show the\n"
    "                     configurator's fallbacks; texts are converted from code\n"
    "                     page 1250 to UTF-8, control characters and bytes without\n"
    "                     a character are shown as \\xNN, a backslash as \\\\\n"
    "  show FILE --json   the same values as one JSON object keyed by the names;\n"
    "                     masks and flags are numbers, texts are strings (a\n"
    "                     byte without a character becomes U+FFFD)\n"
    "  report IN.sbn OUT.pdf\n"
    "                     writes the settings report of a template: an A4 PDF with\n"
    "                     the settings in the configurator's words, the alarm texts\n"
    "                     and a line for the installer's signature\n"
    "  read --port COMn OUT.sbn [--report OUT.pdf]\n"
    "                     waits for the device on the port (switch it off and on),\n"
    "                     reads its settings and saves them as a template (and\n"
    "                     their report)\n"
    "  program --port COMn IN.sbn [--no-verify]\n"
    "                     refuses a template with fields that fail their check\n"
    "                     bytes or that the configurator's encoder would report;\n"
    "                     otherwise waits for the device, reads it first (backup),\n"
    "                     writes the template's four pages, and reads them back to\n"
    "                     compare (unless --no-verify), naming differing fields\n"
    "  backups            lists the backups, newest first, with the SMS centre and\n"
    "                     user 1's number\n"
    "  diff A.sbn B.sbn [--json]\n"
    "                     prints the settings values that differ between two\n"
    "                     templates (\"- name: A\" and \"+ name: B\" lines, or one\n"
    "                     JSON object of {\"a\": ..., \"b\": ...} by name)\n"
    "  --list-ports       shows the device each of COM1 ... COM8 reaches and why,\n"
    "                     the serial ports found on this machine, and the line\n"
    "                     that makes the first USB adapter COM1\n"
    "\n"
    "Ports: COM1 ... COM8 reach the same devices as in the configurator\n"
    "(GSM_NOTIFIER_COMn, then ports.conf, then the defaults; see\n"
    "--list-ports). --port auto waits on every port that opens, sends nothing\n"
    "until the device offers on one of them, then works on that one alone and\n"
    "names it. Every image read from a device is also kept as a\n"
#ifdef _WIN32
    "template in %LOCALAPPDATA%\\gsm-notifier-config\\backups, named by UTC date\n"
    "and time; the newest 200 are kept. Progress and messages go to stderr.\n"
#else
    "template in $XDG_DATA_HOME/gsm-notifier-config/backups (by default\n"
    "~/.local/share/gsm-notifier-config/backups), named by UTC date and time; the\n"
    "newest 200 are kept. Progress and messages go to stderr.\n"
#endif
    "\n"
    "Exit status:\n"
    "  0  done (diff: the settings are the same)\n"
    "  1  a file could not be read or written (diff: the settings differ)\n"
    "  2  bad usage\n"
    "  3  no connection: the port cannot be opened, or the device did not offer a\n"
    "     connection within the configurator's connect time\n"
    "  4  read time-out\n"
    "  5  programming time-out\n"
    "  6  template refused (nothing was sent)\n"
    "  7  verification failed: the device holds other settings than were sent\n";

struct Request {
    std::string path;
    bool json = false;
};

// Accepts "show FILE", "show FILE --json" and "show --json FILE".
std::optional<Request> parse(const std::vector<std::string>& args) {
    if (args.size() < 2 || args[0] != "show") {
        return std::nullopt;
    }
    Request request;
    bool have_path = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json" && !request.json) {
            request.json = true;
        } else if (!have_path && (arg.empty() || arg[0] != '-' || arg == "-")) {
            request.path = arg;
            have_path = true;
        } else {
            return std::nullopt;
        }
    }
    if (!have_path) {
        return std::nullopt;
    }
    return request;
}

int show(const Request& request) {
    gnc::ImageBuffer image;
    image.fill(0xFF);
    if (!gnc::load_template(request.path, image)) {
        gnc::cli::write_err("Odczyt pliku nie może być przeprowadzony\n");
        return exit_unreadable;
    }
    const auto entries = gnc::report_entries(gnc::decode_settings(image));
    const std::string out = request.json ? gnc::json_report(entries) : gnc::plain_report(entries);
    if (!gnc::cli::write_out(out)) {
        gnc::cli::write_err("gsm-notifier-template: the report could not be written\n");
        return exit_unreadable;
    }
    return exit_ok;
}

struct FieldRequest {
    std::string port_name;
    std::string path;
    std::string report_path; // read only: the settings report, when asked for
    bool verify = true;
};

// "read --port COMn OUT" and "program --port COMn IN [--no-verify]", options
// in any order; "--port=COMn" is accepted too.
std::optional<FieldRequest> parse_field(const std::vector<std::string>& args) {
    const bool programming = args[0] == "program";
    FieldRequest request;
    bool have_port = false;
    bool have_path = false;
    bool have_no_verify = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--port" && i + 1 < args.size() && !have_port) {
            request.port_name = args[++i];
            have_port = true;
        } else if (arg.rfind("--port=", 0) == 0 && !have_port) {
            request.port_name = arg.substr(7);
            have_port = true;
        } else if (arg == "--report" && !programming && i + 1 < args.size() &&
                   request.report_path.empty() && !args[i + 1].empty()) {
            request.report_path = args[++i];
        } else if (arg == "--no-verify" && programming && !have_no_verify) {
            request.verify = false;
            have_no_verify = true;
        } else if (!have_path && (arg.empty() || arg[0] != '-' || arg == "-")) {
            request.path = arg;
            have_path = true;
        } else {
            return std::nullopt;
        }
    }
    if (!have_port || request.port_name.empty() || !have_path || request.path.empty()) {
        return std::nullopt;
    }
    return request;
}

struct DiffRequest {
    std::string a, b;
    bool json = false;
};

std::optional<DiffRequest> parse_diff(const std::vector<std::string>& args) {
    DiffRequest request;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json" && !request.json) {
            request.json = true;
        } else if (arg.empty() || arg[0] != '-' || arg == "-") {
            paths.push_back(arg);
        } else {
            return std::nullopt;
        }
    }
    if (paths.size() != 2 || paths[0].empty() || paths[1].empty()) {
        return std::nullopt;
    }
    request.a = paths[0];
    request.b = paths[1];
    return request;
}

int list_ports() {
    const std::string out = gnc::port_listing_now("gsm-notifier-template");
    const bool written = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    return written && std::fflush(stdout) == 0 ? exit_ok : exit_unreadable;
}

int wrong_usage() {
    gnc::cli::write_err("gsm-notifier-template: błędne wywołanie\n");
    gnc::cli::write_err(usage_line);
    return exit_usage;
}

// The report draws text, so it needs Qt GUI's fonts, but never a window: on
// Linux the off-screen platform serves, with or without a display.
std::unique_ptr<QCoreApplication> application(int& argc, char** argv, bool with_fonts) {
    if (!with_fonts) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
#ifndef _WIN32
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    // Qt's own notes (no runtime folder in a root shell, say) are no concern
    // of an installer; only its errors are passed on.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            gnc::cli::write_err(text.toStdString() + "\n");
        }
    });
    return std::make_unique<QGuiApplication>(argc, argv);
}

int write_report(const std::string& template_path, const gnc::SheetOrigin& origin,
                 const std::string& pdf_path) {
    gnc::ImageBuffer image;
    if (!gnc::load_template(template_path, image)) {
        gnc::cli::write_err("Odczyt pliku nie może być przeprowadzony\n");
        return exit_unreadable;
    }
    if (!gnc::save_settings_sheet(pdf_path, image, origin, QDateTime::currentDateTime())) {
        gnc::cli::write_err("Operacja zapisu nie powiodła się\n");
        return exit_unreadable;
    }
    return exit_ok;
}

// "report IN.sbn OUT.pdf"
int report(int argc, char** argv, const std::vector<std::string>& args) {
    if (args.size() != 3 || args[1].empty() || args[2].empty() || args[1][0] == '-' ||
        args[2][0] == '-') {
        return wrong_usage();
    }
    const auto app = application(argc, argv, true);
    return write_report(args[1], gnc::template_origin(QString::fromStdString(args[1])), args[2]);
}

int read_with_report(const FieldRequest& request) {
    const int status = gnc::cli::read_command(request.port_name, request.path);
    if (status != exit_ok || request.report_path.empty()) {
        return status;
    }
    return write_report(request.path, gnc::device_origin(request.port_name), request.report_path);
}

int field_work(int argc, char** argv, const std::vector<std::string>& args) {
    const auto request = parse_field(args);
    if (!request) {
        return wrong_usage();
    }
    // Timers need an event loop; no window is ever shown.
    const auto app = application(argc, argv, !request->report_path.empty());
    gnc::cli::watch_for_interruption();
    try {
        if (args[0] == "read") {
            return read_with_report(*request);
        }
        return gnc::cli::program_command(request->port_name, request->path, request->verify);
    } catch (const gnc::cli::Interrupted&) {
        // The session has closed the port while unwinding.
        gnc::cli::write_err("Przerwano.\n");
    }
    gnc::cli::end_by_interrupting_signal();
}

} // namespace

int main(int argc, char** argv) {
    // A report written past the file-size limit fails with its message
    // instead of the process being killed.
    gnc::cli::ignore_file_size_signal();
    std::vector<std::string> args = gnc::program_arguments(argc, argv);
    args.erase(args.begin(), args.begin() + (args.empty() ? 0 : 1));
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        gnc::cli::write_out(help_text);
        return exit_ok;
    }
    if (args.size() == 1 && args[0] == "--version") {
        gnc::cli::write_out(std::string("gsm-notifier-template ") + GNC_VERSION + "\n");
        return exit_ok;
    }
    if (args.size() == 1 && args[0] == "--list-ports") {
        return list_ports();
    }
    if (!args.empty() && (args[0] == "read" || args[0] == "program")) {
        return field_work(argc, argv, args);
    }
    if (!args.empty() && args[0] == "report") {
        return report(argc, argv, args);
    }
    if (!args.empty() && args[0] == "backups") {
        return args.size() == 1 ? gnc::cli::backups_command() : wrong_usage();
    }
    if (!args.empty() && args[0] == "diff") {
        const auto request = parse_diff(args);
        return request ? gnc::cli::diff_command(request->a, request->b, request->json)
                       : wrong_usage();
    }
    const auto request = parse(args);
    if (!request) {
        return wrong_usage();
    }
    return show(*request);
}
