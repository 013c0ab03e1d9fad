#pragma once
// The serial port of the device link: exclusive access, 19200 baud, 8 data
// bits, no parity, one stop bit, no flow control, RTS on, DTR off. A port
// name reaches the device that port_mapping.h chooses; a port that does not
// open gets a line on stderr saying why. Linux: serial_port.cpp on
// QSerialPort; Windows: serial_port_win.cpp on the Win32 comm calls.

#include "link/link_port.h"

#include <QString>

class QThread;

#include <memory>
#include <string>

namespace gnc {

// The device that `port_name` opens on this platform.
QString device_for_port_name(const std::string& port_name);

class SerialPort : public LinkPort {
  public:
    SerialPort();
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool open(const std::string& port_name) override;
    // Opens `device` itself, the mapping of names left aside; a failure is
    // reported (stderr, and the port box's tooltip on Windows) only when
    // asked. May run on any thread: the port is then used on that thread
    // until given to another with move_to_thread().
    bool open_device(const QString& device, bool report_failure);
    void move_to_thread(QThread* thread);
    void send(const std::uint8_t* data, std::size_t count) override;
    std::size_t read_available(std::uint8_t* dest, std::size_t limit) override;

    bool is_open() const;
    // Releases the device; sending and reading then do nothing until the
    // next open.
    void close();

    // The platform's side of the port, defined beside each implementation.
    struct Line;

  private:
    std::unique_ptr<Line> line_;
};

} // namespace gnc
