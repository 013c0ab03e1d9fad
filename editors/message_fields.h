#pragma once
// The fifteen text fields of the messages window in slot order (Edit1 to
// Edit10, Edit12 to Edit16): their row labels, the settings value each one
// shows and stores, their length limits, factory texts and rule messages.
// Texts are UTF-8.

#include "image/settings.h"

#include <array>
#include <cstddef>
#include <string>

namespace gnc {

struct MessageField {
    const char* edit_name;   // "Edit1" ...
    const char* button_name; // its "Czyść" button
    const char* row_label;   // "0+" ... ; empty for the header and the test text
    std::string Settings::*value;
    int limit; // in characters
    const char* factory_text;
    const char* length_message;
    const char* polish_message;
};

inline constexpr std::size_t message_field_count = 15;
inline constexpr std::size_t header_field = 0;
inline constexpr std::size_t test_field = 14;

const std::array<MessageField, message_field_count>& message_fields();

} // namespace gnc
