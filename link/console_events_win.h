#pragma once
// The console's control events on Windows (Ctrl-C, Ctrl-Break, closing the
// console, log-off, shut-down) as the programs that hold a port end on them.

#include <windows.h>

namespace gnc {

// The exit status the same ending has on Linux: 128 plus the signal's number
// (SIGINT for Ctrl-C and Ctrl-Break, SIGHUP for a closed console, SIGTERM
// for the session's end).
inline int exit_status_for_console_event(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        return 128 + 2;
    case CTRL_CLOSE_EVENT:
        return 128 + 1;
    default:
        return 128 + 15;
    }
}

// Windows ends the process as soon as the handler returns from these (after
// about five seconds at the latest): the handler has to wait until the
// program has ended itself.
inline bool console_event_ends_the_process(DWORD event) {
    return event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
}

} // namespace gnc
