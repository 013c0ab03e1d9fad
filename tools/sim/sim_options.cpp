#include "sim_options.h"

#include <charconv>
#include <functional>
#include <map>

namespace gnc::sim {

namespace {

bool parse_count(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    int parsed = 0;
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc() || result.ptr != end || parsed < 0) {
        return false;
    }
    value = parsed;
    return true;
}

using ValueSetter = std::function<bool(Options&, const std::string&)>;

ValueSetter text_into(std::string Options::*member) {
    return [member](Options& options, const std::string& value) {
        options.*member = value;
        return !value.empty();
    };
}

ValueSetter count_into(int Options::*member) {
    return [member](Options& options, const std::string& value) {
        return parse_count(value, options.*member);
    };
}

const std::map<std::string, ValueSetter>& options_with_value() {
    static const std::map<std::string, ValueSetter> table = {
        {"--link", text_into(&Options::link_path)},
        {"--memory", text_into(&Options::memory_file)},
        {"--save", text_into(&Options::save_file)},
        {"--offer-interval", count_into(&Options::offer_interval_ms)},
        {"--reply-delay", count_into(&Options::reply_delay_ms)},
        {"--ignore-requests", count_into(&Options::ignore_requests)},
        {"--silent-after", count_into(&Options::silent_after)},
        {"--hang-up-after", count_into(&Options::hang_up_after)},
        {"--corrupt-store", count_into(&Options::corrupt_store_page)},
    };
    return table;
}

const std::map<std::string, bool Options::*>& flags() {
    static const std::map<std::string, bool Options::*> table = {
        {"--corrupt-check", &Options::corrupt_check},
        {"--wrong-page", &Options::wrong_page},
        {"--never-ack", &Options::never_ack},
        {"--log", &Options::log},
        {"--help", &Options::help},
        {"-h", &Options::help},
        {"--version", &Options::version},
    };
    return table;
}

} // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (const auto flag = flags().find(name); flag != flags().end()) {
            options.*(flag->second) = true;
            continue;
        }
        const auto setter = options_with_value().find(name);
        if (setter == options_with_value().end()) {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (i + 1 >= args.size() || !setter->second(options, args[i + 1])) {
            error = "option " + name + " needs a value";
            if (i + 1 < args.size()) {
                error = "bad value for " + name + ": " + args[i + 1];
            }
            return std::nullopt;
        }
        ++i;
    }
    if (options.corrupt_store_page > 3) {
        error = "--corrupt-store takes a page from 0 to 3";
        return std::nullopt;
    }
    if (options.offer_interval_ms == 0) {
        error = "--offer-interval must be above 0";
        return std::nullopt;
    }
    return options;
}

const char* usage_text() {
    return "Usage: gsm-notifier-sim [options]\n"
           "Simulated GSM notifier on a pseudo-terminal. Prints the terminal's path\n"
           "as the first line of output, then answers the configurator's frames.\n"
           "\n"
           "  --link PATH            also place a symlink to the terminal at PATH\n"
           "  --memory FILE          load the 2048-byte settings memory from FILE\n"
           "                         (a shorter file leaves the rest 0xFF; a template\n"
           "                         file gives its first 2048 bytes)\n"
           "  --save FILE            write the memory to FILE after every stored write\n"
           "  --offer-interval MS    offer the connect frame every MS ms until answered\n"
           "                         (default 1000); a newly opened line restarts offers\n"
           "  --reply-delay MS       answer requests and write frames MS ms late\n"
           "  --ignore-requests N    leave the first N read requests unanswered\n"
           "  --corrupt-check        send the first page reply with a wrong check byte\n"
           "  --wrong-page           answer the first read request with the next page\n"
           "  --never-ack            store write frames but never acknowledge them\n"
           "  --corrupt-store PAGE   acknowledge write frames of PAGE (0-3) but store\n"
           "                         that page with its first byte changed\n"
           "  --silent-after N       answer nothing after N received frames\n"
           "  --hang-up-after N      close the line and exit after N received frames\n"
           "  --log                  log every frame with a timestamp on stderr\n"
           "  --help                 show this text\n"
           "  --version              show the version\n";
}

} // namespace gnc::sim
