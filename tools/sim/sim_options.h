#pragma once
// Command-line options of the simulated device.

#include <optional>
#include <string>
#include <vector>

namespace gnc::sim {

struct Options {
    std::string link_path;   // --link: symlink to the pseudo-terminal
    std::string memory_file; // --memory: initial 2048-byte memory
    std::string save_file;   // --save: memory written after each stored write frame
    int offer_interval_ms = 1000;
    int reply_delay_ms = 0;
    int ignore_requests = 0; // read requests left unanswered at first
    bool corrupt_check = false;
    bool wrong_page = false;
    bool never_ack = false;
    int corrupt_store_page = -1; // page stored with its first byte changed (-1: none)
    int silent_after = -1;       // frames received before the device falls silent
    int hang_up_after = -1;      // frames received before the device drops the line
    bool log = false;
    bool help = false;
    bool version = false;
};

// Parses argv[1..]; on a bad option returns nothing and sets `error`.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error);

const char* usage_text();

} // namespace gnc::sim
