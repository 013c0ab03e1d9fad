#include "tools/template/progress.h"

#include "tools/template/console_output.h"

namespace gnc::cli {

namespace {

constexpr int bar_width = 30;

std::string counted(const std::string& what, int done, int total) {
    return what + " " + std::to_string(done) + "/" + std::to_string(total);
}

} // namespace

Progress::Progress(bool terminal) : terminal_(terminal) {}

void Progress::line(const std::string& text) {
    end_bar();
    write_err(text + "\n");
}

void Progress::advance(const std::string& what, int done, int total) {
    const bool changed = what != last_what_ || done != last_done_;
    last_what_ = what;
    last_done_ = done;
    if (!terminal_) {
        if (changed) {
            write_err(what + ": " + std::to_string(done) + "/" + std::to_string(total) + "\n");
        }
        return;
    }
    const int filled = total > 0 ? done * bar_width / total : 0;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(bar_width - filled), '.');
    write_err("\r[" + bar + "] " + counted(what, done, total) + "\033[K");
    bar_drawn_ = true;
}

void Progress::end_bar() {
    if (bar_drawn_) {
        write_err("\n");
        bar_drawn_ = false;
    }
    last_what_.clear();
    last_done_ = -1;
}

} // namespace gnc::cli
