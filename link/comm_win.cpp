#include "link/comm_win.h"

#include "link/port_mapping.h"
#include "link/serial_line.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace gnc::comm {

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "COM3", "com3" and "\\.\COM3" are all the port COM3.
bool is_com_port(const std::string& device) {
    const bool in_device_namespace = device.rfind("\\\\.\\", 0) == 0;
    return com_port_number(upper(in_device_namespace ? device.substr(4) : device)).has_value();
}

std::map<std::string, DWORD>& open_failures() {
    static std::map<std::string, DWORD> failures;
    return failures;
}

std::string advice(OpenProblem problem, DWORD error, const std::string& system_text) {
    switch (problem) {
    case OpenProblem::missing:
        return "no such port; see the ports Windows knows with: gsm-notifier-template "
               "--list-ports";
    case OpenProblem::busy:
        return "in use by another program; close that program (another configurator, a "
               "terminal program or the adapter maker's tool)";
    case OpenProblem::permission:
        return "access denied";
    case OpenProblem::stale_lock:
    case OpenProblem::other:
        break;
    }
    const std::string code = "error " + std::to_string(error);
    return system_text.empty() ? "cannot be opened (" + code + ")"
                               : "cannot be opened: " + system_text + " (" + code + ")";
}

} // namespace

DCB line_settings_block() {
    DCB block{};
    block.DCBlength = sizeof(DCB);
    block.BaudRate = line_baud_rate;
    block.ByteSize = 8;
    block.Parity = NOPARITY;
    block.StopBits = ONESTOPBIT;
    block.fParity = TRUE;
    block.fRtsControl = RTS_CONTROL_ENABLE;
    block.fDtrControl = DTR_CONTROL_DISABLE;
    // Windows reads only in binary mode; a driver that honoured text mode
    // would end the data at the end-of-file character, 0x00 here, and lose
    // image bytes.
    block.fBinary = TRUE;
    return block;
}

DCB with_distinct_flow_characters(DCB block) {
    block.XonChar = 0x11;
    block.XoffChar = 0x13;
    return block;
}

std::wstring device_path(const std::string& device) {
    const std::wstring wide = to_wide(device);
    const bool in_namespace = device.rfind("\\\\.\\", 0) == 0 || device.rfind("\\\\?\\", 0) == 0;
    const bool is_path = device.find_first_of("\\/:") != std::string::npos;
    if (!in_namespace && is_com_port(device)) {
        return L"\\\\.\\" + to_wide(upper(device));
    }
    return in_namespace || is_path || device.empty() ? wide : L"\\\\.\\" + wide;
}

OpenProblem open_problem(const std::string& device, DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_UNIT:
        return OpenProblem::missing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return OpenProblem::busy;
    case ERROR_ACCESS_DENIED:
        return is_com_port(device) ? OpenProblem::busy : OpenProblem::permission;
    default:
        return OpenProblem::other;
    }
}

std::string open_failure_line(const std::string& program, const std::string& device, DWORD error,
                              const std::string& system_text) {
    return program + ": " + device + ": " + advice(open_problem(device, error), error, system_text);
}

std::string open_failure_words(const std::string& device, DWORD error) {
    switch (open_problem(device, error)) {
    case OpenProblem::missing:
        return "brak urządzenia";
    case OpenProblem::busy:
        return "port zajęty przez inny program";
    case OpenProblem::permission:
        return "brak dostępu do portu";
    case OpenProblem::stale_lock:
    case OpenProblem::other:
        break;
    }
    return "port nie daje się otworzyć (błąd " + std::to_string(error) + ")";
}

void remember_open_failure(const std::string& device, DWORD error) {
    open_failures()[device] = error;
}

void forget_open_failure(const std::string& device) {
    open_failures().erase(device);
}

std::optional<DWORD> last_open_failure(const std::string& device) {
    const auto found = open_failures().find(device);
    return found == open_failures().end() ? std::nullopt : std::optional<DWORD>(found->second);
}

std::string system_message(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    return to_utf8(message);
}

std::wstring to_wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string to_utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

} // namespace gnc::comm
