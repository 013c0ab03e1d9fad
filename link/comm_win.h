#pragma once
// The parts of the Windows serial port that need no device: the line
// settings block, the device path of a port name, why an open failed, and
// the UTF-8 / UTF-16 conversions at the edge of the Win32 calls.

#include "link/open_diagnosis.h"

#include <windows.h>

#include <optional>
#include <string>

namespace gnc::comm {

// The device-control block given to SetCommState: 19200 baud, 8 data bits,
// no parity, one stop bit, the parity-checking flag set, RTS on, DTR off,
// binary mode, no flow control, every limit and character 0.
DCB line_settings_block();

// The same block with the usual XON and XOFF characters (DC1, DC3), for a
// driver that refuses a block whose XON and XOFF characters are equal; flow
// control stays off, so they never act.
DCB with_distinct_flow_characters(DCB block);

// The name CreateFileW opens for `device`: "COM12" -> "\\.\COM12" (the
// device namespace, without which COM10 and above do not open); a name
// already in a namespace, or a path, as it stands.
std::wstring device_path(const std::string& device);

// Why `device` did not open, from the error CreateFileW left. A COM port
// held by another program gives access denied or a sharing violation.
OpenProblem open_problem(const std::string& device, DWORD error);

// "gsm-notifier-template: COM12: in use by another program; ...". The
// system's own text, where given, completes an error without a reason.
std::string open_failure_line(const std::string& program, const std::string& device, DWORD error,
                              const std::string& system_text);

// The port box's words for an open failure (UTF-8): "port zajęty przez
// inny program", "brak urządzenia", ...
std::string open_failure_words(const std::string& device, DWORD error);

// The last failed open of each device in this run, kept for the port box's
// tooltip: a windowed program has no console for the line above, and the
// system's message box says only that the port did not open. A successful
// open forgets it.
void remember_open_failure(const std::string& device, DWORD error);
void forget_open_failure(const std::string& device);
std::optional<DWORD> last_open_failure(const std::string& device);

// The system's message for `error`, without the line break it ends with.
std::string system_message(DWORD error);

std::wstring to_wide(const std::string& utf8);
std::string to_utf8(const std::wstring& wide);

} // namespace gnc::comm
