#include "tools/template/progress.h"

#include <cstdio>
#include <unistd.h>

namespace gnc::cli {

namespace {

constexpr int bar_width = 30;

} // namespace

Progress::Progress(bool terminal) : terminal_(terminal) {}

bool Progress::stderr_is_terminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void Progress::line(const std::string& text) {
    end_bar();
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

void Progress::advance(const std::string& what, int done, int total) {
    const bool changed = what != last_what_ || done != last_done_;
    last_what_ = what;
    last_done_ = done;
    if (!terminal_) {
        if (changed) {
            std::fprintf(stderr, "%s: %d/%d\n", what.c_str(), done, total);
            std::fflush(stderr);
        }
        return;
    }
    const int filled = total > 0 ? done * bar_width / total : 0;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(bar_width - filled), '.');
    std::fprintf(stderr, "\r[%s] %s %d/%d\033[K", bar.c_str(), what.c_str(), done, total);
    std::fflush(stderr);
    bar_drawn_ = true;
}

void Progress::end_bar() {
    if (bar_drawn_) {
        std::fputc('\n', stderr);
        bar_drawn_ = false;
    }
    last_what_.clear();
    last_done_ = -1;
}

} // namespace gnc::cli
