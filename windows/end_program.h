#pragma once
// Ends the whole program at once, from any depth of open modal windows: no
// window is stored, nothing is asked, nothing is written. What must not
// outlive the program (the serial port, whose lock file and exclusive flag
// would keep the next program out) is released first.

#include <functional>

namespace gnc {

[[noreturn]] void end_program_now();

// Calls the override when one is set (tests), otherwise end_program_now().
void end_program();

// An empty function restores the real ending.
void override_end_program(std::function<void()> replacement);

// Runs `release` whenever the program ends at once: through end_program_now()
// or on one of the ending signals. An empty function removes it.
void release_at_program_end(std::function<void()> release);

// SIGTERM, SIGINT and SIGHUP: run the release, then end as the signal would
// have. The signal is taken over by the event loop, so the release runs on
// the user-interface thread; a second signal before it got there ends the
// program at once. Needs a running application object.
void release_on_ending_signals();

// A write past the file-size limit then fails with EFBIG, and the failure
// path of the write runs, instead of the process being killed.
void ignore_file_size_signal();

} // namespace gnc
