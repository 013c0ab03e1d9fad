// Backups on Windows: %LOCALAPPDATA%\gsm-notifier-config\backups, and a
// name is given only where no file holds it yet.

#include "image/backup_store.h"
#include "image/backup_store_platform.h"
#include "image/path_text_win.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

namespace gnc {

namespace fs = std::filesystem;

namespace {

bool is_absolute(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool unc = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') &&
                     (path[1] == L'\\' || path[1] == L'/');
    return drive || unc;
}

// LOCALAPPDATA first, so that it can be pointed elsewhere; then the folder
// that the shell knows.
std::wstring local_app_data() {
    const wchar_t* variable = _wgetenv(L"LOCALAPPDATA");
    if (variable != nullptr && is_absolute(variable)) {
        return variable;
    }
    PWSTR known = nullptr;
    std::wstring folder;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known) == S_OK) {
        folder = known;
    }
    CoTaskMemFree(known);
    return folder;
}

} // namespace

std::string backup_folder() {
    const std::wstring base = local_app_data();
    if (base.empty()) {
        return {};
    }
    return backup_platform::utf8_of(fs::path(base) / L"gsm-notifier-config" / L"backups");
}

namespace backup_platform {

const char* const no_folder_message =
    "Nie wiadomo, gdzie zapisać kopię zapasową: brak folderu LOCALAPPDATA";

std::string utc_second(std::time_t when) {
    std::tm utc{};
    gmtime_s(&utc, &when);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &utc);
    return text;
}

unsigned long process_number() {
    return GetCurrentProcessId();
}

// A move without MOVEFILE_REPLACE_EXISTING fails where the name is taken.
bool take_name(const fs::path& incoming, const fs::path& target, std::error_code& ec) {
    if (MoveFileExW(incoming.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0) {
        ec.clear();
        return true;
    }
    const DWORD error = GetLastError();
    ec = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS
             ? std::make_error_code(std::errc::file_exists)
             : std::error_code(static_cast<int>(error), std::system_category());
    return false;
}

// The system's messages come in UTF-16 from FormatMessageW: the narrow
// ones would be in the ANSI code page.
std::string error_text(const std::error_code& ec) {
    if (ec.category() != std::system_category()) {
        return ec.message();
    }
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(ec.value()), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    return message.empty() ? ec.message() : utf8_from_utf16(message);
}

} // namespace backup_platform

} // namespace gnc
