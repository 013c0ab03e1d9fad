#pragma once
// The machine's side of the port mapping: the environment, the ports file
// and the serial devices that are there now, and why a device did not open.
// Qt Core and Qt SerialPort only, no widgets.

#include "link/open_diagnosis.h"
#include "link/port_listing.h"
#include "link/port_mapping.h"

#include <QSerialPort>
#include <QString>

#include <string>

namespace gnc {

// $XDG_CONFIG_HOME/gsm-notifier-config/ports.conf, or under ~/.config where
// XDG_CONFIG_HOME is unset or not an absolute path.
std::string ports_file_path();

// The serial devices that Qt finds, each with its /dev/serial/by-id link,
// plus /dev/ttyS0 where Qt leaves it out (COM1's default looks at it).
std::vector<SerialDevice> serial_devices_now();

PortSources port_sources_now();

// Whether `device` exists and, for a built-in UART, whether a chip answers.
DeviceState probe_device(const std::string& device);

std::string port_listing_now(const std::string& program);

// The port box's tooltip for `port_name`.
QString port_tooltip(const std::string& port_name, const PortSources& sources);

// Why `device` did not open: Qt's error and the errno its open left, checked
// against the device, the lock files and the processes holding it.
OpenFailure diagnose_open_failure(const std::string& device, QSerialPort::SerialPortError error,
                                  int system_error, const std::string& error_text);

} // namespace gnc
