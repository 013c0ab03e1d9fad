#pragma once
// The serial port of the device link, on QSerialPort: exclusive access,
// 19200 baud, 8 data bits, no parity, one stop bit, no flow control, RTS on,
// DTR off. On Linux a port name reaches the device that port_mapping.h
// chooses; a port that does not open gets a line on stderr saying why.

#include "link/link_port.h"

#include <QSerialPort>
#include <QString>

#include <string>

namespace gnc {

// The device that `port_name` opens on this platform.
QString device_for_port_name(const std::string& port_name);

class SerialPort : public LinkPort {
  public:
    SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool open(const std::string& port_name) override;
    void send(const std::uint8_t* data, std::size_t count) override;
    std::size_t read_available(std::uint8_t* dest, std::size_t limit) override;

    bool is_open() const { return port_.isOpen(); }
    // Releases the device; sending and reading then do nothing until the
    // next open.
    void close();

  private:
    void configure_line();
    void report_open_failure(const std::string& device, int system_error);
    void on_error(QSerialPort::SerialPortError error);

    QSerialPort port_;
    // Counts opens, so that closing a failed line never closes a later one.
    unsigned open_count_ = 0;
    bool close_pending_ = false;
};

} // namespace gnc
