// The program's ending on Windows, which has no signals: the session's end
// (log-off, shut-down) and the console's control events (Ctrl-C, Ctrl-Break,
// closing the console window, when the program has a console) release the
// port before the program ends.

#include "windows/end_program.h"
#include "windows/end_program_release.h"

#include "link/console_events_win.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace gnc {

namespace {

void end_with_status(int status) {
    std::fflush(nullptr);
    release_before_ending();
    std::_Exit(status);
}

std::atomic<bool> ending{false};

// Runs on a thread of its own: the ending is handed to the event loop, so
// the release runs on the user-interface thread. Where Windows ends the
// process as soon as the handler returns (a closed console, the session's
// end), the handler waits until the event loop has ended it.
BOOL WINAPI on_console_event(DWORD event) {
    if (ending.exchange(true)) {
        return FALSE; // a second event before the first got there: at once
    }
    const int status = exit_status_for_console_event(event);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [status] { end_with_status(status); }, Qt::QueuedConnection);
    if (console_event_ends_the_process(event)) {
        Sleep(INFINITE);
    }
    return TRUE;
}

// WM_ENDSESSION reaches the windows when the user logs off or the machine
// shuts down; the process is ended right after it.
class SessionEndFilter : public QAbstractNativeEventFilter {
  public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const auto* msg = static_cast<const MSG*>(message);
        if (type == "windows_generic_MSG" && msg->message == WM_ENDSESSION && msg->wParam != 0) {
            std::fflush(nullptr);
            release_before_ending();
        }
        return false;
    }
};

} // namespace

void release_on_ending_signals() {
    static SessionEndFilter* filter = nullptr;
    if (filter != nullptr) {
        return;
    }
    filter = new SessionEndFilter;
    QCoreApplication::instance()->installNativeEventFilter(filter);
    if (GetConsoleWindow() != nullptr) {
        SetConsoleCtrlHandler(on_console_event, TRUE);
    }
}

// Windows has no file-size signal: a write past a limit simply fails.
void ignore_file_size_signal() {}

} // namespace gnc
