#pragma once
// Progress of a field command on stderr: a bar redrawn in place when stderr
// is a terminal, one line per step otherwise (logs, scripts).

#include <string>

namespace gnc::cli {

class Progress {
  public:
    explicit Progress(bool terminal);
    static bool stderr_is_terminal();
    bool terminal() const { return terminal_; }

    // A line of its own; ends a bar being drawn first.
    void line(const std::string& text);
    // `done` of `total` steps of the work named `what`: redraws the bar, or
    // prints a line when `done` changed.
    void advance(const std::string& what, int done, int total);
    // Ends the bar's line, if one is drawn.
    void end_bar();

  private:
    bool terminal_;
    bool bar_drawn_ = false;
    std::string last_what_;
    int last_done_ = -1;
};

} // namespace gnc::cli
