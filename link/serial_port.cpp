#include "link/serial_port.h"

#include "link/serial_devices.h"
#include "link/serial_devices_posix.h"
#include "link/serial_line.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSerialPort>

#include <cerrno>
#include <cstdio>

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace gnc {

struct SerialPort::Line {
    QSerialPort port;
    // Counts opens, so that closing a failed line never closes a later one.
    unsigned open_count = 0;
    bool close_pending = false;
};

namespace {

// Waits until the driver has sent what it holds, as tcdrain() does, but gives
// the rest up at the deadline: a driver that cannot get rid of its bytes (an
// adapter in trouble) would hold tcdrain() for ever. Where the driver cannot
// tell how much it holds, tcdrain() it is.
void drain_until(int handle, const QDeadlineTimer& deadline) {
    constexpr useconds_t poll_us = 1000;
    int queued = 0;
    while (::ioctl(handle, TIOCOUTQ, &queued) == 0) {
        if (queued <= 0) {
            return;
        }
        if (deadline.hasExpired()) {
            tcflush(handle, TCOFLUSH);
            return;
        }
        ::usleep(poll_us);
    }
    tcdrain(handle);
}

std::string program_name() {
    const QString name =
        QCoreApplication::instance() != nullptr ? QCoreApplication::applicationName() : QString();
    return name.isEmpty() ? std::string("gsm-notifier-config") : name.toStdString();
}

// A line whose device has gone (an adapter pulled out, the other end of a
// pseudo-terminal closed) fails every read and write from then on, and Qt
// keeps reporting it from the event loop without end. Such a port is closed:
// sending then does nothing and reading finds nothing, as before, without
// the busy loop. The close is queued because Qt reports the error from
// inside its own reading code.
void on_error(SerialPort::Line& line, QSerialPort::SerialPortError error) {
    const bool line_failed = error == QSerialPort::ReadError || error == QSerialPort::WriteError ||
                             error == QSerialPort::ResourceError;
    if (!line_failed || line.close_pending || !line.port.isOpen()) {
        return;
    }
    line.close_pending = true;
    const unsigned failed_open = line.open_count;
    QMetaObject::invokeMethod(
        &line.port,
        [&line, failed_open] {
            if (failed_open == line.open_count && line.port.isOpen()) {
                line.port.close();
            }
            line.close_pending = false;
        },
        Qt::QueuedConnection);
}

// The message box says only that the port did not open; this line on stderr
// says why and what to do about it.
void report_open_failure(const QSerialPort& port, const std::string& device, int system_error) {
    const OpenFailure failure =
        diagnose_open_failure(device, port.error(), system_error, port.errorString().toStdString());
    const std::string line = open_failure_line(program_name(), failure) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

// Failures are ignored on purpose: a pseudo-terminal refuses the modem-line
// calls, and a line that does not work shows up as a device that never answers.
void configure_line(QSerialPort& port) {
    port.setBaudRate(line_baud_rate);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    port.setRequestToSend(true);
    port.setDataTerminalReady(false);
    port.clearError();
}

} // namespace

QString device_for_port_name(const std::string& port_name) {
    return QString::fromStdString(choose_port_device(port_name, port_sources_now()).device);
}

SerialPort::SerialPort() : line_(std::make_unique<Line>()) {
    Line& line = *line_;
    QObject::connect(&line.port, &QSerialPort::errorOccurred, &line.port,
                     [&line](QSerialPort::SerialPortError error) { on_error(line, error); });
}

SerialPort::~SerialPort() = default;

bool SerialPort::is_open() const {
    return line_->port.isOpen();
}

// Closing clears the exclusive flag and removes the lock file, so that the
// next program can open the device.
void SerialPort::close() {
    ++line_->open_count;
    if (line_->port.isOpen()) {
        line_->port.close();
    }
}

bool SerialPort::open(const std::string& port_name) {
    return open_device(device_for_port_name(port_name), true);
}

bool SerialPort::open_device(const QString& device, bool report_failure) {
    QSerialPort& port = line_->port;
    ++line_->open_count;
    if (port.isOpen()) {
        port.close();
    }
    port.clearError();
    port.setPortName(device);
    errno = 0;
    if (!port.open(QIODevice::ReadWrite)) {
        if (report_failure) {
            report_open_failure(port, device.toStdString(), errno);
        }
        return false;
    }
    configure_line(port);
    return true;
}

// The port's notifiers go along and are enabled again on `thread`.
void SerialPort::move_to_thread(QThread* thread) {
    line_->port.moveToThread(thread);
}

void SerialPort::send(const std::uint8_t* data, std::size_t count) {
    QSerialPort& port = line_->port;
    if (!port.isOpen() || count == 0) {
        return;
    }
    port.write(reinterpret_cast<const char*>(data), static_cast<qint64>(count));
    // A line whose far end stopped reading would otherwise hold every tick:
    // what has not left within the frame's wire time is given up, and the
    // link's repetitions and time-outs deal with the missing reply.
    QDeadlineTimer deadline(write_wait_ms(count));
    while (port.bytesToWrite() > 0 && !deadline.hasExpired() &&
           port.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
    }
    if (port.isOpen() && port.bytesToWrite() > 0) {
        port.clear(QSerialPort::Output);
    }
    // Return only once the bytes have left the line, within the same time.
    if (port.isOpen()) {
        drain_until(static_cast<int>(port.handle()), deadline);
    }
    port.clearError();
}

std::size_t SerialPort::read_available(std::uint8_t* dest, std::size_t limit) {
    QSerialPort& port = line_->port;
    if (!port.isOpen() || limit == 0) {
        return 0;
    }
    // Pull in what the driver holds without waiting; bytes beyond `limit`
    // stay queued for the next read.
    port.waitForReadyRead(0);
    const qint64 got = port.read(reinterpret_cast<char*>(dest), static_cast<qint64>(limit));
    port.clearError();
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

} // namespace gnc
