#pragma once
// Reading the numbers that the user types into edit boxes.

#include <cstdint>
#include <optional>
#include <string_view>

namespace gnc {

// An optional '+' or '-' followed by decimal digits whose value fits a signed
// 32-bit integer. Blanks anywhere, an empty text or a lone sign give nullopt.
std::optional<std::int32_t> read_integer(std::string_view text);

// A phone number: at least one character, every one a digit '0' to '9'.
bool is_phone_number(std::string_view text);

} // namespace gnc
