#pragma once
// The mobile operators offered for the SMS centre: each preset fixes the
// SMS-centre number and the number or code that queries the account balance.

#include <array>
#include <cstddef>
#include <string_view>

namespace gnc {

enum OperatorItem { orange_item = 0, era_item, plus_item, play_item, other_item };

struct OperatorPreset {
    const char* sms_centre;
    const char* balance_query;
    bool balance_query_first; // the order in which choosing the item fills the boxes
};

inline constexpr std::array<OperatorPreset, 4> operator_presets{{
    {"48501200777", "*124*#", true},
    {"48602951111", "*101#", true},
    {"48601000310", "*100#", false},
    {"48790998250", "", false},
}};

// The item whose preset SMS-centre number is `number`, else other_item.
inline OperatorItem operator_of(const std::string_view number) {
    for (std::size_t i = 0; i < operator_presets.size(); ++i)
        if (number == operator_presets[i].sms_centre)
            return static_cast<OperatorItem>(i);
    return other_item;
}

} // namespace gnc
