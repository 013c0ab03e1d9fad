// Ctrl-C, Ctrl-Break and closing the console window during field work on
// Windows. The console's handler runs on a thread of its own: it notes the
// event and hands the ending to the event loop, which the session then
// unwinds, closing the port.

#include "tools/template/interruption.h"

#include <QCoreApplication>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace gnc::cli {

namespace {

constexpr long no_event = -1;
std::atomic<long> caught_event{no_event};

BOOL WINAPI on_console_event(DWORD event) {
    long expected = no_event;
    if (caught_event.compare_exchange_strong(expected, static_cast<long>(event))) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
    }
    // Windows ends the process as soon as the handler returns from these
    // (after about five seconds at the latest): the handler waits, and the
    // program ends itself once the port is closed.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        Sleep(INFINITE);
    }
    return TRUE;
}

// The status the same ending has on Linux: 128 plus the signal's number
// (SIGINT for Ctrl-C and Ctrl-Break, SIGHUP for a closed console, SIGTERM
// otherwise).
int exit_status_for(long event) {
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

} // namespace

void watch_for_interruption() {
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

void throw_if_interrupted() {
    if (caught_event.load() != no_event) {
        throw Interrupted{};
    }
}

void end_by_interrupting_signal() {
    std::fflush(nullptr);
    std::_Exit(exit_status_for(caught_event.load()));
}

// Windows has no file-size signal: a write past a limit simply fails.
void ignore_file_size_signal() {}

} // namespace gnc::cli
