// The serial port on the Win32 comm calls. The port is opened for overlapped
// I/O so that every wait has a limit: a write that a driver (or Wine's
// pseudo-terminal) never completes is given up after the frame's wire time
// plus the margin, as on Linux, and the link's repetitions deal with it.

#include "link/serial_port.h"

#include "link/comm_win.h"
#include "link/serial_devices.h"
#include "link/serial_line.h"

#include <QCoreApplication>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace gnc {

namespace {

// How long a cancelled operation may take to come back.
constexpr DWORD cancel_wait_ms = 100;
// A read asks only for bytes already queued; it may still take this long.
constexpr DWORD read_wait_ms = 50;

// One overlapped operation with its own buffer, so that an operation the
// driver has not finished never writes into memory the caller has reused.
struct Operation {
    OVERLAPPED overlapped{};
    std::vector<std::uint8_t> buffer;
    bool stuck = false; // cancelled but not yet completed by the driver

    Operation() { overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Operation() {
        if (stuck) {
            WaitForSingleObject(overlapped.hEvent, 1000);
        }
        CloseHandle(overlapped.hEvent);
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    // False while an earlier, given-up operation still holds the buffer.
    bool ready() {
        if (stuck && !HasOverlappedIoCompleted(&overlapped)) {
            return false;
        }
        stuck = false;
        const HANDLE event = overlapped.hEvent;
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event;
        ResetEvent(event);
        return true;
    }
};

std::string program_name() {
    const QString name =
        QCoreApplication::instance() != nullptr ? QCoreApplication::applicationName() : QString();
    return name.isEmpty() ? std::string("gsm-notifier-config") : name.toStdString();
}

ULONGLONG now_ms() {
    return GetTickCount64();
}

DWORD remaining_ms(ULONGLONG deadline) {
    const ULONGLONG now = now_ms();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// Waits for an operation that ReadFile or WriteFile started (`started`: the
// call's result) until `timeout_ms`; past it the operation is cancelled.
// The bytes it moved, or nothing when it failed or was given up. A call
// refused at once means the line has gone (an adapter pulled out, the far
// end of Wine's pseudo-terminal closed): `line_gone` says so, and the port
// is then closed, as on Linux, so that it is released at once.
std::optional<DWORD> finish(HANDLE handle, Operation& op, BOOL started, DWORD timeout_ms,
                            bool& line_gone) {
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        line_gone = true;
        return std::nullopt;
    }
    DWORD moved = 0;
    if (WaitForSingleObject(op.overlapped.hEvent, timeout_ms) == WAIT_OBJECT_0) {
        if (GetOverlappedResult(handle, &op.overlapped, &moved, FALSE)) {
            return moved;
        }
        return std::nullopt;
    }
    CancelIoEx(handle, &op.overlapped);
    op.stuck = WaitForSingleObject(op.overlapped.hEvent, cancel_wait_ms) != WAIT_OBJECT_0;
    return std::nullopt;
}

// Returns once the driver's output queue is empty, as FlushFileBuffers
// does, but gives the rest up at the deadline: a driver that cannot get rid
// of its bytes would hold the flush for ever.
void drain_until(HANDLE handle, ULONGLONG deadline) {
    DWORD errors = 0;
    COMSTAT status{};
    while (ClearCommError(handle, &errors, &status) && status.cbOutQue > 0) {
        if (remaining_ms(deadline) == 0) {
            PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR);
            return;
        }
        Sleep(1);
    }
}

// Results are not checked, as on Linux: a line that does not work shows up
// as a device that never answers. A driver that refuses a block whose XON
// and XOFF characters are equal (the standard serial driver does) would
// otherwise leave the line at its old speed: it gets the usual ones instead.
void configure_line(HANDLE handle) {
    SetupComm(handle, line_queue_size, line_queue_size);
    DCB block = comm::line_settings_block();
    if (!SetCommState(handle, &block)) {
        DCB retry = comm::with_distinct_flow_characters(block);
        SetCommState(handle, &retry);
    }
    DWORD mask = 0;
    GetCommMask(handle, &mask);
    SetCommMask(handle, EV_TXEMPTY);
    // A read returns at once with what is queued; writes are bounded by
    // their own wait.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    SetCommTimeouts(handle, &timeouts);
}

// The message box says only that the port did not open; this line says
// why: on stderr for a console, and to the debugger output for a windowed
// program started without one. The port box's tooltip says it too.
void report_open_failure(const std::string& device, DWORD error) {
    comm::remember_open_failure(device, error);
    const std::string line =
        comm::open_failure_line(program_name(), device, error, comm::system_message(error));
    OutputDebugStringW(comm::to_wide(line).c_str());
    std::fputs((line + "\n").c_str(), stderr);
    std::fflush(stderr);
}

} // namespace

struct SerialPort::Line {
    HANDLE handle = INVALID_HANDLE_VALUE;
    Operation write;
    Operation read;
};

QString device_for_port_name(const std::string& port_name) {
    return QString::fromStdString(choose_port_device(port_name, port_sources_now()).device);
}

SerialPort::SerialPort() : line_(std::make_unique<Line>()) {}

SerialPort::~SerialPort() {
    close();
}

bool SerialPort::is_open() const {
    return line_->handle != INVALID_HANDLE_VALUE;
}

// Closing cancels what is still under way and lets the next program open
// the port.
void SerialPort::close() {
    if (is_open()) {
        CloseHandle(line_->handle);
        line_->handle = INVALID_HANDLE_VALUE;
    }
}

bool SerialPort::open(const std::string& port_name) {
    return open_device(device_for_port_name(port_name), true);
}

bool SerialPort::open_device(const QString& device_name, bool report_failure) {
    close();
    const std::string device = device_name.toStdString();
    const HANDLE handle =
        CreateFileW(comm::device_path(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (report_failure) {
            report_open_failure(device, GetLastError());
        }
        return false;
    }
    if (report_failure) {
        comm::forget_open_failure(device);
    }
    line_->handle = handle;
    configure_line(handle);
    return true;
}

// A handle serves any thread: nothing to move.
void SerialPort::move_to_thread(QThread*) {}

// Earlier output first, then the frame; the call returns once the frame has
// left the driver, or at its wire time plus the margin, when what is left is
// purged.
void SerialPort::send(const std::uint8_t* data, std::size_t count) {
    Operation& op = line_->write;
    if (!is_open() || count == 0 || !op.ready()) {
        return;
    }
    const HANDLE handle = line_->handle;
    const ULONGLONG deadline = now_ms() + static_cast<ULONGLONG>(write_wait_ms(count));
    drain_until(handle, deadline);
    op.buffer.assign(data, data + count);
    const BOOL started =
        WriteFile(handle, op.buffer.data(), static_cast<DWORD>(count), nullptr, &op.overlapped);
    bool line_gone = false;
    if (!finish(handle, op, started, remaining_ms(deadline), line_gone)) {
        if (line_gone) {
            close();
            return;
        }
        PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR);
        return;
    }
    drain_until(handle, deadline);
}

// Takes at most `limit` of the bytes already queued and never waits for
// more; line errors are cleared by the query and not reported.
std::size_t SerialPort::read_available(std::uint8_t* dest, std::size_t limit) {
    Operation& op = line_->read;
    if (!is_open() || limit == 0 || !op.ready()) {
        return 0;
    }
    const HANDLE handle = line_->handle;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle, &errors, &status)) {
        close(); // the line has gone: an adapter pulled out
        return 0;
    }
    if (status.cbInQue == 0) {
        return 0;
    }
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(limit, status.cbInQue));
    op.buffer.resize(wanted);
    const BOOL started = ReadFile(handle, op.buffer.data(), wanted, nullptr, &op.overlapped);
    bool line_gone = false;
    const std::optional<DWORD> got = finish(handle, op, started, read_wait_ms, line_gone);
    if (line_gone) {
        close();
        return 0;
    }
    if (!got || *got == 0) {
        return 0;
    }
    std::copy_n(op.buffer.begin(), *got, dest);
    return *got;
}

} // namespace gnc
