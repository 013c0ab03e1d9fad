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

// What a text box shows for one CP1250 byte: as cp1250_code_point, except
// that the five unassigned bytes give the C1 control of the same value, so
// that such a byte comes back unchanged from a box that was not edited.
char32_t cp1250_box_code_point(unsigned char byte);

// The CP1250 byte of a code point, the inverse of cp1250_box_code_point;
// -1 for a code point that CP1250 cannot hold.
int cp1250_byte_for(char32_t code_point);

} // namespace gnc
