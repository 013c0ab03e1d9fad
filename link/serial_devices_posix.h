#pragma once
// Linux only: why a device did not open, from what QSerialPort and the
// system said, checked against the device, the lock files and the processes
// holding it. Defined in serial_devices.cpp.

#include "link/open_diagnosis.h"

#include <QSerialPort>

#include <string>

namespace gnc {

OpenFailure diagnose_open_failure(const std::string& device, QSerialPort::SerialPortError error,
                                  int system_error, const std::string& error_text);

} // namespace gnc
