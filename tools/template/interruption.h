#pragma once
// Ctrl-C or SIGTERM during field work (on Windows Ctrl-C, Ctrl-Break and a
// closed console window): the event loops are left and the session unwinds,
// so the serial port is closed (and its lock file removed) before the
// program ends as the signal would have ended it.

namespace gnc::cli {

struct Interrupted {};

// Catches SIGINT, SIGTERM and SIGHUP from now on. Needs a QCoreApplication.
void watch_for_interruption();

// Throws Interrupted once a signal came; called after each event loop.
void throw_if_interrupted();

// Ends the program by the signal that interrupted it (on Windows with the
// status that signal gives on Linux).
[[noreturn]] void end_by_interrupting_signal();

// A write past the file-size limit then fails, and its message is printed,
// instead of the process being killed. Nothing to do on Windows.
void ignore_file_size_signal();

} // namespace gnc::cli
