#include "image/number_text.h"

#include <limits>

namespace gnc {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<std::int32_t> read_integer(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // Accumulate the magnitude in 64 bits; it can never exceed the limit by
    // more than one digit's worth before the check below stops it.
    const std::int64_t limit =
        negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                 : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (!is_digit(c)) {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

bool is_phone_number(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!is_digit(c)) {
            return false;
        }
    }
    return true;
}

} // namespace gnc
