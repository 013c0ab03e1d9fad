#pragma once
// Texts in the image and in the settings values are bytes of the Central
// European Windows code page 1250. This turns them into UTF-8 for messages
// and for the command-line tools, which have no widget layer to do it.

#include <string>
#include <string_view>

namespace gnc {

// The Unicode code point of one CP1250 byte; the five unassigned bytes
// (0x81, 0x83, 0x88, 0x90, 0x98) give U+FFFD.
char32_t cp1250_code_point(unsigned char byte);

std::string cp1250_to_utf8(std::string_view cp1250);

} // namespace gnc
