#include "tools/template/console_output_win.h"
#include "tools/template/console_output.h"

#include <algorithm>
#include <string>

namespace gnc::cli {

namespace {

// Bytes that are not UTF-8 are shown as U+FFFD.
std::wstring utf16_of(std::string_view text) {
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), needed);
    }
    return wide;
}

// In pieces, as older consoles refuse very long writes; a piece never ends
// between the two halves of a surrogate pair.
bool write_console(HANDLE console, const std::wstring& text) {
    constexpr std::size_t piece = 8192;
    std::size_t done = 0;
    while (done < text.size()) {
        std::size_t count = std::min(piece, text.size() - done);
        if (count < text.size() - done && IS_HIGH_SURROGATE(text[done + count - 1])) {
            --count;
        }
        DWORD put = 0;
        if (WriteConsoleW(console, text.data() + done, static_cast<DWORD>(count), &put, nullptr) ==
                0 ||
            put == 0) {
            return false;
        }
        done += put;
    }
    return true;
}

bool write_bytes(HANDLE file, std::string_view text) {
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD put = 0;
        if (WriteFile(file, text.data() + done, static_cast<DWORD>(text.size() - done), &put,
                      nullptr) == 0 ||
            put == 0) {
            return false;
        }
        done += put;
    }
    return true;
}

} // namespace

TextForm text_form_for(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0 ? TextForm::utf16_console : TextForm::utf8_bytes;
}

bool write_text(HANDLE handle, std::string_view text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (text.empty()) {
        return true;
    }
    if (text_form_for(handle) == TextForm::utf16_console) {
        return write_console(handle, utf16_of(text));
    }
    return write_bytes(handle, text);
}

bool write_out(std::string_view text) {
    return write_text(GetStdHandle(STD_OUTPUT_HANDLE), text);
}

bool write_err(std::string_view text) {
    return write_text(GetStdHandle(STD_ERROR_HANDLE), text);
}

} // namespace gnc::cli
