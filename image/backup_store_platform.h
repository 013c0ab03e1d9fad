#pragma once
// The operating system's side of the backup store, beside the common part
// in backup_store.cpp.

#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

namespace gnc::backup_platform {

// Paths are UTF-8 strings in the program; std::filesystem gets them through
// char8_t, so that Windows does not read them in its ANSI code page.
inline std::filesystem::path path_from_utf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8_of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Why backup_folder() is empty, in Polish.
extern const char* const no_folder_message;

// "YYYY-MM-DD_HH-MM-SS" of `when` in UTC.
std::string utc_second(std::time_t when);

// A number of this process, to keep its incoming file apart.
unsigned long process_number();

// Gives the saved file `incoming` the name `target` unless that name is
// taken; never replaces a file. False with `ec` set when it did not.
bool take_name(const std::filesystem::path& incoming, const std::filesystem::path& target,
               std::error_code& ec);

// The error's text, in UTF-8.
std::string error_text(const std::error_code& ec);

} // namespace gnc::backup_platform
