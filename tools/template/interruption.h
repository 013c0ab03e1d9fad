#pragma once
// Ctrl-C or SIGTERM during field work: the event loops are left and the
// session unwinds, so the serial port is closed (and its lock file removed)
// before the program ends as the signal would have ended it.

namespace gnc::cli {

struct Interrupted {};

// Catches SIGINT, SIGTERM and SIGHUP from now on. Needs a QCoreApplication.
void watch_for_interruption();

// Throws Interrupted once a signal came; called after each event loop.
void throw_if_interrupted();

// Ends the program by the signal that interrupted it.
[[noreturn]] void end_by_interrupting_signal();

} // namespace gnc::cli
