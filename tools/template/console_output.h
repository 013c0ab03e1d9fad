#pragma once
// What the template tool prints: reports on stdout, progress and messages on
// stderr. The text is UTF-8; each call writes and flushes it at once.

#include <string_view>

namespace gnc::cli {

// False when the text could not be written in full.
bool write_out(std::string_view text);
bool write_err(std::string_view text);

} // namespace gnc::cli
