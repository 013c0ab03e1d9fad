#pragma once
// Windows only: how the template tool's text reaches a handle. A console
// shows Polish letters when given UTF-16; a file or a pipe gets the UTF-8
// bytes unchanged, as on Linux.

#include <string_view>

#include <windows.h>

namespace gnc::cli {

enum class TextForm { utf16_console, utf8_bytes };

TextForm text_form_for(HANDLE handle);

// Writes `text` (UTF-8) to `handle` in the form that suits it.
bool write_text(HANDLE handle, std::string_view text);

} // namespace gnc::cli
