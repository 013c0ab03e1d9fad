#include "link/serial_port.h"

#include "link/serial_devices.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <cerrno>
#include <cstdio>

#ifndef Q_OS_WIN
#include <termios.h>
#endif

namespace gnc {

namespace {

constexpr qint32 line_baud_rate = 19200;
// Far longer than a 516-byte frame takes at 19200 baud (about 270 ms).
constexpr int write_timeout_ms = 3000;

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
    while (port_.bytesToWrite() > 0 && port_.waitForBytesWritten(write_timeout_ms)) {
    }
#ifndef Q_OS_WIN
    // Return only once the bytes have left the line.
    if (port_.isOpen()) {
        tcdrain(static_cast<int>(port_.handle()));
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
