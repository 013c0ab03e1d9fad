#pragma once
// The rules of the messages window's fields, apart from the widgets.

#include <QString>

namespace gnc {

// Message texts reach the device only with codes up to 125 ('}'): '~', DEL
// and every non-ASCII character (Polish letters included) are refused.
inline constexpr char32_t highest_message_code = 125;

enum class TextVerdict { accepted, too_long, polish_letter };

// Length in characters, as the device stores them (one byte each).
qsizetype character_count(const QString& text);

// The change rule of a text field: the limit always applies; the character
// test only once the field holds an accepted text (`last_accepted` not empty),
// apart from characters that CP1250 cannot hold at all, which are always
// refused.
TextVerdict check_message_text(const QString& text, const QString& last_accepted, int limit);

enum class IndexVerdict { empty, out_of_range, user };

struct IndexCheck {
    IndexVerdict verdict = IndexVerdict::empty;
    int user = 0; // 1..4 when verdict is user
};

// The user index box: empty, a whole number 1..4, or anything else.
IndexCheck check_user_index(const QString& text);

} // namespace gnc
