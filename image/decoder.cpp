#include "image/decoder.h"

#include "image/check.h"
#include "image/layout.h"

#include <array>
#include <optional>
#include <string>

namespace gnc {

namespace {

bool is_digit(std::uint8_t byte) {
    return byte >= '0' && byte <= '9';
}

// Digits from the slot's first byte, when there are 2 to 17 of them, a
// non-digit ends them and the slot's check byte matches; else empty.
std::string decode_phone_slot(const ImageBuffer& image, std::size_t slot) {
    std::string digits;
    std::uint8_t check = check_seed;
    for (std::size_t n = 0; n < phone_slot_size; ++n) {
        const std::uint8_t byte = image[slot + n];
        if (!is_digit(byte)) {
            const bool length_ok = n >= phone_digits_min && n <= phone_digits_max;
            return length_ok && image[slot + phone_slot_check] == check ? digits : std::string{};
        }
        digits.push_back(static_cast<char>(byte));
        check ^= byte;
    }
    return {}; // twenty digits: the number has no end
}

// A digit field's characters up to its first zero byte; nullopt when the
// check byte after the field does not match.
std::optional<std::string> decode_digit_field(const ImageBuffer& image, std::size_t field) {
    if (image[field + digit_field_width] != check_byte(image, field, digit_field_width)) {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = 0; i < digit_field_width && image[field + i] != 0; ++i) {
        text.push_back(static_cast<char>(image[field + i]));
    }
    return text;
}

std::uint8_t pair_value_or(const ImageBuffer& image, std::size_t field, std::uint8_t fallback) {
    return pair_valid(image, field) ? image[field] : fallback;
}

std::uint8_t flag(bool on) {
    return on ? 1 : 0;
}

void decode_test_message(const ImageBuffer& image, Settings& settings) {
    const std::size_t f = test_message_field;
    const std::uint8_t user = image[f + 1];
    const bool valid = image[f + test_message_check] == check_byte(image, f, test_message_check) &&
                       user >= 1 && user <= 4 && image[f] == 1;
    settings.test_message_on = flag(valid);
    settings.test_message_user = valid ? std::to_string(user) : std::string{};
}

bool steady_output_on(const ImageBuffer& image, std::size_t field) {
    return image[field + steady_field_check] == check_byte(image, field, steady_field_check) &&
           image[field] == 1;
}

void decode_timed_output(const ImageBuffer& image, std::size_t field, std::uint8_t& on,
                         std::string& seconds) {
    if (image[field + timed_field_check] != check_byte(image, field, timed_field_check)) {
        on = 0;
        seconds.clear();
        return;
    }
    on = flag(image[field] == 1);
    seconds = std::to_string(image[field + 1] * 256 + image[field + 2]);
}

void decode_balance_value(const ImageBuffer& image, std::size_t field, std::uint8_t& valid,
                          std::string& value) {
    const auto text = decode_digit_field(image, field);
    valid = flag(text.has_value());
    value = text.value_or(std::string{});
}

// The length pair says how many characters to take; the check at the end of
// the slot always covers all of its bytes.
std::string decode_balance_query(const ImageBuffer& image) {
    if (!pair_valid(image, balance_query_length) || image[balance_query_length] == 0) {
        return {};
    }
    if (image[balance_query_check] !=
        check_byte(image, balance_query_slot, balance_query_slot_size)) {
        return {};
    }
    const std::size_t length = image[balance_query_length];
    return std::string(reinterpret_cast<const char*>(image.data() + balance_query_slot), length);
}

std::string decode_text_slot(const ImageBuffer& image, const TextSlot& slot) {
    std::string text;
    std::uint8_t check = check_seed;
    for (std::size_t i = 0; i < slot.scan_limit && image[slot.offset + i] != 0; ++i) {
        text.push_back(static_cast<char>(image[slot.offset + i]));
        check ^= image[slot.offset + i];
    }
    if (image[slot.offset + text_slot_check] != check) {
        return std::string(slot.default_text);
    }
    return text;
}

using TextMember = std::string Settings::*;

constexpr std::array<TextMember, text_slot_count> text_members{
    &Settings::header_text,
    &Settings::power_loss_text,
    &Settings::power_return_text,
    &Settings::input1_activation_text,
    &Settings::input1_deactivation_text,
    &Settings::input2_activation_text,
    &Settings::input2_deactivation_text,
    &Settings::input3_activation_text,
    &Settings::input3_deactivation_text,
    &Settings::input4_activation_text,
    &Settings::input5_activation_text,
    &Settings::input6_activation_text,
    &Settings::input7_activation_text,
    &Settings::input8_activation_text,
    &Settings::test_message_text,
};

} // namespace

void decode_parameters(const ImageBuffer& image, Settings& settings) {
    decode_test_message(image, settings);

    settings.output1_steady_on = flag(steady_output_on(image, output1_steady_field));
    settings.output2_steady_on = flag(steady_output_on(image, output2_steady_field));

    settings.daily_sms_limit = decode_digit_field(image, daily_limit_field).value_or("20");

    settings.sms_mask = pair_value_or(image, sms_mask_field, 0xFF);
    settings.ring_mask = pair_value_or(image, ring_mask_field, 0xFF);
    settings.input_mask = pair_value_or(image, input_mask_field, 0xFF);

    settings.balance_info_on = flag(image[balance_info_flag] == 1);
    settings.balance_count_on = flag(image[balance_count_flag] == 1);
    settings.balance_days_on = flag(image[balance_days_flag] == 1);

    settings.echo_on = flag(!pair_valid(image, echo_field) || image[echo_field] == 1);

    decode_balance_value(image, balance_count_field, settings.balance_count_valid,
                         settings.balance_count);
    decode_balance_value(image, balance_days_field, settings.balance_days_valid,
                         settings.balance_days);

    settings.balance_query_number = decode_balance_query(image);

    decode_timed_output(image, output1_timed_field, settings.output1_timed_on,
                        settings.output1_seconds);
    decode_timed_output(image, output2_timed_field, settings.output2_timed_on,
                        settings.output2_seconds);
}

void odczytaj_uzytkownikow(const ImageBuffer& image, Settings& settings) {
    settings.sms_centre_number = decode_phone_slot(image, sms_centre_slot);
    settings.user_number_1 = decode_phone_slot(image, user_slot_1);
    settings.user_number_2 = decode_phone_slot(image, user_slot_2);
    settings.user_number_3 = decode_phone_slot(image, user_slot_3);
    settings.user_number_4 = decode_phone_slot(image, user_slot_4);
}

void decode_texts(const ImageBuffer& image, Settings& settings) {
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        settings.*text_members[i] = decode_text_slot(image, text_slots[i]);
    }
}

Settings decode_settings(const ImageBuffer& image) {
    Settings settings;
    decode_parameters(image, settings);
    odczytaj_uzytkownikow(image, settings);
    decode_texts(image, settings);
    return settings;
}

std::string& text_setting(Settings& settings, std::size_t slot_index) {
    return settings.*text_members.at(slot_index);
}

const std::string& text_setting(const Settings& settings, std::size_t slot_index) {
    return settings.*text_members.at(slot_index);
}

} // namespace gnc
