#pragma once
// Windows only: the program's paths are UTF-8 strings; the system's calls
// take UTF-16. Every path goes through these conversions to the wide ("W")
// calls, never through the ANSI code page.

#include <optional>
#include <string>
#include <string_view>

namespace gnc {

// Nothing for bytes that are not UTF-8 (no file has such a name).
std::optional<std::wstring> utf16_from_utf8(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string utf8_from_utf16(std::wstring_view utf16);

// True where Windows would open a device instead of a file: a last name of
// CON, PRN, AUX, NUL, COM1-COM9 or LPT1-LPT9 (also CONIN$, CONOUT$ and the
// superscript COM and LPT digits), in any case, with any extension and any
// trailing dots and spaces ("AUX.sbn", "nul .txt", "COM1:"), and every path
// in the device namespaces ("\\.\PhysicalDrive0", "\\?\GLOBALROOT\...").
bool names_a_device(std::string_view utf8_path);

} // namespace gnc
