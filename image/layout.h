#pragma once
// Every field of the device's 2048-byte settings image, by name.
// Offsets are byte offsets from the start of the image buffer; widths,
// check positions and gaps are the device's memory format and must not move.

#include <array>
#include <cstddef>
#include <string_view>

namespace gnc {

// ---- Page 0: phone numbers -------------------------------------------------

// A phone slot: digits from its first byte, zero bytes, check byte last.
inline constexpr std::size_t phone_slot_size = 20;
inline constexpr std::size_t phone_slot_check = 19; // offset of the check inside the slot
inline constexpr std::size_t phone_digits_min = 2;  // fewer digits decode as no number
inline constexpr std::size_t phone_digits_max = 17; // more digits decode as no number

inline constexpr std::size_t sms_centre_slot = 0;
inline constexpr std::size_t user_slot_1 = 20;
inline constexpr std::size_t user_slot_2 = 40;
inline constexpr std::size_t user_slot_3 = 60;
inline constexpr std::size_t user_slot_4 = 80;
inline constexpr std::array<std::size_t, 4> user_slots{user_slot_1, user_slot_2, user_slot_3,
                                                       user_slot_4};

// Longest SMS-centre number and user number that the composition accepts.
inline constexpr std::size_t sms_centre_longest = 17;
inline constexpr std::size_t user_number_longest = 18;

// ---- Page 0: outputs ---------------------------------------------------------

// Steady output: value byte (1 = driven), a zero byte, check over both.
// The two bytes after the check are cleared with the field.
inline constexpr std::size_t output1_steady_field = 100;
inline constexpr std::size_t output2_steady_field = 105;
inline constexpr std::size_t steady_field_cleared = 5;
inline constexpr std::size_t steady_field_check = 2;

// Timed output: on byte, 16-bit seconds (high, low), check over the three.
inline constexpr std::size_t output1_timed_field = 120;
inline constexpr std::size_t output2_timed_field = 135;
inline constexpr std::size_t timed_field_check = 3;

// ---- Page 0: digit fields (four characters, zero padded, then a check) -------

inline constexpr std::size_t digit_field_width = 4;
inline constexpr std::size_t daily_limit_field = 110;
inline constexpr std::size_t balance_days_field = 165;
inline constexpr std::size_t balance_count_field = 170;

// ---- Page 0: test message ----------------------------------------------------

// On byte (1 = send), user index 1..4, check over the two.
inline constexpr std::size_t test_message_field = 130;
inline constexpr std::size_t test_message_check = 2;

// ---- Page 0: complement pairs (value, value ^ 0xAA) --------------------------

inline constexpr std::size_t sms_mask_field = 140;
inline constexpr std::size_t ring_mask_field = 145;
inline constexpr std::size_t echo_field = 155;
inline constexpr std::size_t input_mask_field = 160;
inline constexpr std::size_t balance_query_length = 300;

// ---- Page 0: balance query ---------------------------------------------------

inline constexpr std::size_t balance_query_slot = 175;
inline constexpr std::size_t balance_query_slot_size = 100;
inline constexpr std::size_t balance_query_check = 275; // covers all 100 bytes of the slot
inline constexpr std::size_t balance_query_longest = 20;

// ---- Page 0: single-byte flags without a check (1 = on) ----------------------

inline constexpr std::size_t balance_info_flag = 305;
inline constexpr std::size_t balance_count_flag = 310;
inline constexpr std::size_t balance_days_flag = 315;

// ---- Pages 1 to 3: the fifteen text slots ------------------------------------

// A text slot: characters from its first byte, zero padded, check at +101.
inline constexpr std::size_t text_slot_size = 102;
inline constexpr std::size_t text_slot_check = 101;

inline constexpr std::size_t header_slot = 512;
inline constexpr std::size_t power_loss_slot = 614;
inline constexpr std::size_t power_return_slot = 716;
inline constexpr std::size_t input1_activation_slot = 818;
inline constexpr std::size_t input1_deactivation_slot = 920;
inline constexpr std::size_t input2_activation_slot = 1024;
inline constexpr std::size_t input2_deactivation_slot = 1126;
inline constexpr std::size_t input3_activation_slot = 1228;
inline constexpr std::size_t input3_deactivation_slot = 1330;
inline constexpr std::size_t input4_activation_slot = 1432;
inline constexpr std::size_t input5_activation_slot = 1536;
inline constexpr std::size_t input6_activation_slot = 1638;
inline constexpr std::size_t input7_activation_slot = 1740;
inline constexpr std::size_t input8_activation_slot = 1842;
inline constexpr std::size_t test_message_slot = 1944;

struct TextSlot {
    std::size_t offset;            // first byte of the slot
    std::size_t scan_limit;        // most bytes the decoder takes before the check
    std::size_t longest_text;      // most characters the composition stores
    std::string_view default_text; // what the decoder gives for a slot that fails its check
};

inline constexpr std::size_t text_slot_count = 15;

// In slot order; the messages window's controls follow the same order.
inline constexpr std::array<TextSlot, text_slot_count> text_slots{{
    {header_slot, 52, 50, "SYSTEM POWIADOMIENIA SMS: "},
    {power_loss_slot, 102, 100, "Zanik zasilania"},
    {power_return_slot, 102, 100, "Powrot zasilania"},
    {input1_activation_slot, 102, 100, "Aktywacja wejscia nr 1"},
    {input1_deactivation_slot, 102, 100, "Dezaktywacja wejscia nr 1"},
    {input2_activation_slot, 102, 100, "Aktywacja wejscia nr 2"},
    {input2_deactivation_slot, 102, 100, "Dezaktywacja wejscia nr 2"},
    {input3_activation_slot, 102, 100, "Aktywacja wejscia nr 3"},
    {input3_deactivation_slot, 102, 100, "Dezaktywacja wejscia nr 3"},
    {input4_activation_slot, 102, 100, "Aktywacja wejscia nr 4"},
    {input5_activation_slot, 102, 100, "Aktywacja wejscia nr 5"},
    {input6_activation_slot, 102, 100, "Aktywacja wejscia nr 6"},
    {input7_activation_slot, 102, 100, "Aktywacja wejscia nr 7"},
    {input8_activation_slot, 102, 100, "Aktywacja wejscia nr 8"},
    {test_message_slot, 102, 100, "Test Systemu SMS"},
}};

} // namespace gnc
