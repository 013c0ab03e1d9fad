#include "image/path_text_win.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cwctype>

namespace gnc {

std::optional<std::wstring> utf16_from_utf8(std::string_view utf8) {
    if (utf8.empty()) {
        return std::wstring();
    }
    const int length = static_cast<int>(utf8.size());
    const int needed =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), needed);
    return wide;
}

std::string utf8_from_utf16(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int length = static_cast<int>(utf16.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

namespace {

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

// "\\.\" and "\\?\" (either slash) start the device and the raw namespaces;
// only "\\?\X:\" and "\\?\UNC\" reach plain files through the latter.
bool in_device_namespace(std::string_view path) {
    if (path.size() < 4 || !is_separator(path[0]) || !is_separator(path[1]) ||
        !is_separator(path[3])) {
        return false;
    }
    if (path[2] == '.') {
        return true;
    }
    if (path[2] != '?') {
        return false;
    }
    const std::string_view rest = path.substr(4);
    const bool drive = rest.size() >= 3 && std::isalpha(static_cast<unsigned char>(rest[0])) &&
                       rest[1] == ':' && is_separator(rest[2]);
    const bool unc = rest.size() >= 4 &&
                     (rest.substr(0, 3) == "UNC" || rest.substr(0, 3) == "unc") &&
                     is_separator(rest[3]);
    return !drive && !unc;
}

// The last name of the path without its extension, a stream or device colon
// and trailing spaces: what Windows compares with its device names.
std::wstring device_stem(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L"\\/:");
    std::wstring name = cut == std::wstring::npos ? path : path.substr(cut + 1);
    if (name.empty() && cut != std::wstring::npos && path[cut] == L':') {
        // "COM1:": the colon ends the device name itself.
        const std::size_t before = path.find_last_of(L"\\/", cut);
        name = path.substr(before == std::wstring::npos ? 0 : before + 1, cut - (before + 1));
    }
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) {
        name.pop_back();
    }
    std::transform(name.begin(), name.end(), name.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return name;
}

bool is_device_stem(const std::wstring& stem) {
    static const std::array<const wchar_t*, 6> plain = {L"CON", L"PRN",    L"AUX",
                                                        L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::any_of(plain.begin(), plain.end(), [&](const wchar_t* d) { return stem == d; })) {
        return true;
    }
    if (stem.size() != 4 || (stem.compare(0, 3, L"COM") != 0 && stem.compare(0, 3, L"LPT") != 0)) {
        return false;
    }
    const wchar_t digit = stem[3];
    // U+00B9, U+00B2, U+00B3: Windows counts "COM¹" as COM1.
    return (digit >= L'1' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 ||
           digit == 0x00B3;
}

} // namespace

bool names_a_device(std::string_view utf8_path) {
    if (in_device_namespace(utf8_path)) {
        return true;
    }
    const auto wide = utf16_from_utf8(utf8_path);
    return wide && is_device_stem(device_stem(*wide));
}

} // namespace gnc
