#include "editors/message_rules.h"

#include "image/number_text.h"
#include "windows/text.h"

#include <QList>

namespace gnc {

qsizetype character_count(const QString& text) {
    return text.toUcs4().size();
}

TextVerdict check_message_text(const QString& text, const QString& last_accepted, int limit) {
    if (character_count(text) > limit)
        return TextVerdict::too_long;
    // A character without a CP1250 code could only be stored as the
    // substitute byte 0x1A, so it is refused even in a first text.
    if (!fits_cp1250(text))
        return TextVerdict::polish_letter;
    if (last_accepted.isEmpty())
        return TextVerdict::accepted;
    // Compare the characters themselves: a character CP1250 cannot hold would
    // otherwise turn into the substitute byte 0x1A and slip through.
    for (const char32_t code : text.toUcs4())
        if (code > highest_message_code)
            return TextVerdict::polish_letter;
    return TextVerdict::accepted;
}

IndexCheck check_user_index(const QString& text) {
    if (text.isEmpty())
        return {IndexVerdict::empty, 0};
    const auto value = read_integer(to_cp1250(text));
    if (!value || *value < 1 || *value > 4)
        return {IndexVerdict::out_of_range, 0};
    return {IndexVerdict::user, static_cast<int>(*value)};
}

} // namespace gnc
