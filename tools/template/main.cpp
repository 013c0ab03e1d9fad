// gsm-notifier-template: prints the settings a template file holds, decoded
// exactly as the configurator decodes a loaded template, without any window.

#include "image/decoder.h"
#include "image/template_file.h"
#include "tools/template/settings_report.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr int exit_ok = 0;
constexpr int exit_unreadable = 1;
constexpr int exit_usage = 2;

const char* const usage_line = "usage: gsm-notifier-template show FILE [--json]\n";

const char* const help_text =
    "usage: gsm-notifier-template show FILE [--json]\n"
    "       gsm-notifier-template --help\n"
    "\n"
    "Prints every settings value held in a settings template file (.sbn), decoded\n"
    "exactly as the configurator decodes a template it loads: fields whose check\n"
    "bytes do not match show the configurator's fallbacks. Installers use it to\n"
    "check templates without opening the configurator's windows.\n"
    "\n"
    "  show FILE          one \"name: value\" line per settings value; texts are\n"
    "                     converted from code page 1250 to UTF-8, control\n"
    "                     characters and bytes without a character are shown\n"
    "                     as \\xNN, a backslash as \\\\\n"
    "  show FILE --json   the same values as one JSON object keyed by the names;\n"
    "                     masks and flags are numbers, texts are strings (a\n"
    "                     byte without a character becomes U+FFFD)\n"
    "\n"
    "Exit status: 0 shown, 1 file cannot be read or report cannot be written,\n"
    "2 wrong usage.\n";

struct Request {
    std::string path;
    bool json = false;
};

// Accepts "show FILE", "show FILE --json" and "show --json FILE".
std::optional<Request> parse(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], "show") != 0) {
        return std::nullopt;
    }
    Request request;
    bool have_path = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
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
        std::fputs("Odczyt pliku nie może być przeprowadzony\n", stderr);
        return exit_unreadable;
    }
    gnc::Settings settings;
    gnc::decode_parameters(image, settings);
    gnc::odczytaj_uzytkownikow(image, settings);
    gnc::decode_texts(image, settings);
    const auto entries = gnc::report_entries(settings);
    const std::string out = request.json ? gnc::json_report(entries) : gnc::plain_report(entries);
    const bool written = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    if (!written || std::fflush(stdout) != 0) {
        std::fputs("gsm-notifier-template: the report could not be written\n", stderr);
        return exit_unreadable;
    }
    return exit_ok;
}

} // namespace

int main(int argc, char** argv) {
    // A report written past the file-size limit fails with its message
    // instead of the process being killed.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(help_text, stdout);
        return exit_ok;
    }
    const auto request = parse(argc, argv);
    if (!request) {
        std::fputs("gsm-notifier-template: wrong usage\n", stderr);
        std::fputs(usage_line, stderr);
        return exit_usage;
    }
    return show(*request);
}
