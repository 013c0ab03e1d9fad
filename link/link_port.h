#pragma once
// What the link controller needs from a serial port. The Qt implementation
// (SerialPort) talks to a real device; tests use a scripted fake.

#include "link/link_texts.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace gnc {

class LinkPort {
  public:
    virtual ~LinkPort() = default;
    // Closes whatever was open, then opens `port_name` exclusively with the
    // device's line settings. False when the port cannot be had.
    virtual bool open(const std::string& port_name) = 0;
    // Sends `count` bytes and returns once they have been transmitted.
    // Does nothing while no port is open.
    virtual void send(const std::uint8_t* data, std::size_t count) = 0;
    // Copies up to `limit` bytes that have already arrived into `dest`
    // without waiting; returns how many were copied (0: nothing queued,
    // no port, or a failed read).
    virtual std::size_t read_available(std::uint8_t* dest, std::size_t limit) = 0;
    // The message box's text when open() failed.
    virtual std::string open_failure_text(const std::string& port_name) const {
        return text_port_open_failed + port_name;
    }
};

} // namespace gnc
