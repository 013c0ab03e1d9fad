#include "link/serial_port.h"

#include "link/serial_devices.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QtGlobal>

#include <cerrno>
#include <cstdio>

#ifndef Q_OS_WIN
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace gnc {

namespace {

constexpr qint32 line_baud_rate = 19200;
constexpr int bits_per_byte = 10; // start bit, 8 data bits, stop bit
// Time beyond a frame's own wire time that a send may wait for the line.
constexpr int write_margin_ms = 100;

// How long `count` bytes take on the wire, plus the margin: a 516-byte frame
// takes about 270 ms, a 4-byte one about 2 ms.
int write_wait_ms(std::size_t count) {
    const auto wire_ms =
        static_cast<int>((count * bits_per_byte * 1000 + line_baud_rate - 1) / line_baud_rate);
    return wire_ms + write_margin_ms;
}

#ifndef Q_OS_WIN
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
#endif

std::string program_name() {
    const QString name =
        QCoreApplication::instance() != nullptr ? QCoreApplication::applicationName() : QString();
    return name.isEmpty() ? std::string("gsm-notifier-config") : name.toStdString();
}

} // namespace

QString device_for_port_name(const std::string& port_name) {
#ifdef Q_OS_WIN
    return QString::fromStdString(port_name);
#else
    return QString::fromStdString(choose_port_device(port_name, port_sources_now()).device);
#endif
}

SerialPort::SerialPort() {
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { on_error(error); });
}

// A line whose device has gone (an adapter pulled out, the other end of a
// pseudo-terminal closed) fails every read and write from then on, and Qt
// keeps reporting it from the event loop without end. Such a port is closed:
// sending then does nothing and reading finds nothing, as before, without
// the busy loop. The close is queued because Qt reports the error from
// inside its own reading code.
void SerialPort::on_error(QSerialPort::SerialPortError error) {
    const bool line_failed = error == QSerialPort::ReadError || error == QSerialPort::WriteError ||
                             error == QSerialPort::ResourceError;
    if (!line_failed || close_pending_ || !port_.isOpen()) {
        return;
    }
    close_pending_ = true;
    const unsigned failed_open = open_count_;
    QMetaObject::invokeMethod(
        &port_,
        [this, failed_open] {
            if (failed_open == open_count_ && port_.isOpen()) {
                port_.close();
            }
            close_pending_ = false;
        },
        Qt::QueuedConnection);
}

// Closing clears the exclusive flag and removes the lock file, so that the
// next program can open the device.
void SerialPort::close() {
    ++open_count_;
    if (port_.isOpen()) {
        port_.close();
    }
}

bool SerialPort::open(const std::string& port_name) {
    ++open_count_;
    if (port_.isOpen()) {
        port_.close();
    }
    port_.clearError();
    const QString device = device_for_port_name(port_name);
    port_.setPortName(device);
    errno = 0;
    if (!port_.open(QIODevice::ReadWrite)) {
        report_open_failure(device.toStdString(), errno);
        return false;
    }
    configure_line();
    return true;
}

// The message box says only that the port did not open; this line on stderr
// says why and what to do about it.
void SerialPort::report_open_failure(const std::string& device, int system_error) {
#ifndef Q_OS_WIN
    const OpenFailure failure = diagnose_open_failure(device, port_.error(), system_error,
                                                      port_.errorString().toStdString());
    const std::string line = open_failure_line(program_name(), failure) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
#else
    Q_UNUSED(device);
    Q_UNUSED(system_error);
#endif
}

// Failures are ignored on purpose: a pseudo-terminal refuses the modem-line
// calls, and a line that does not work shows up as a device that never answers.
void SerialPort::configure_line() {
    port_.setBaudRate(line_baud_rate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setRequestToSend(true);
    port_.setDataTerminalReady(false);
    port_.clearError();
}

void SerialPort::send(const std::uint8_t* data, std::size_t count) {
    if (!port_.isOpen() || count == 0) {
        return;
    }
    port_.write(reinterpret_cast<const char*>(data), static_cast<qint64>(count));
    // A line whose far end stopped reading would otherwise hold every tick:
    // what has not left within the frame's wire time is given up, and the
    // link's repetitions and time-outs deal with the missing reply.
    QDeadlineTimer deadline(write_wait_ms(count));
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired() &&
           port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
    }
    if (port_.isOpen() && port_.bytesToWrite() > 0) {
        port_.clear(QSerialPort::Output);
    }
#ifndef Q_OS_WIN
    // Return only once the bytes have left the line, within the same time.
    if (port_.isOpen()) {
        drain_until(static_cast<int>(port_.handle()), deadline);
    }
#endif
    port_.clearError();
}

std::size_t SerialPort::read_available(std::uint8_t* dest, std::size_t limit) {
    if (!port_.isOpen() || limit == 0) {
        return 0;
    }
    // Pull in what the driver holds without waiting; bytes beyond `limit`
    // stay queued for the next read.
    port_.waitForReadyRead(0);
    const qint64 got = port_.read(reinterpret_cast<char*>(dest), static_cast<qint64>(limit));
    port_.clearError();
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

} // namespace gnc
