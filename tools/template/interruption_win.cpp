// Ctrl-C, Ctrl-Break and closing the console window during field work on
// Windows. The console's handler runs on a thread of its own: it notes the
// event and hands the ending to the event loop, which the session then
// unwinds, closing the port.

#include "tools/template/interruption.h"

#include "link/console_events_win.h"

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
    // The program ends itself once the port is closed.
    if (console_event_ends_the_process(event)) {
        Sleep(INFINITE);
    }
    return TRUE;
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
    std::_Exit(exit_status_for_console_event(static_cast<DWORD>(caught_event.load())));
}

// Windows has no file-size signal: a write past a limit simply fails.
void ignore_file_size_signal() {}

} // namespace gnc::cli
