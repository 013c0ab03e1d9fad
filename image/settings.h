#pragma once
// The decoded settings values that the editor windows show and edit.
// Texts are CP1250 byte strings, exactly the bytes the device stores;
// flags are 0 or 1; masks are single bytes.

#include <cstdint>
#include <string>

namespace gnc {

struct Settings {
    // Phone numbers (odczytaj_uzytkownikow).
    std::string sms_centre_number;
    std::string user_number_1;
    std::string user_number_2;
    std::string user_number_3;
    std::string user_number_4;

    // Page-0 parameters (decode_parameters).
    std::uint8_t sms_mask = 0;
    std::uint8_t ring_mask = 0;
    std::uint8_t input_mask = 0;
    std::uint8_t echo_on = 0;
    std::uint8_t output1_steady_on = 0;
    std::uint8_t output2_steady_on = 0;
    std::uint8_t output1_timed_on = 0;
    std::uint8_t output2_timed_on = 0;
    std::string output1_seconds;
    std::string output2_seconds;
    std::string daily_sms_limit;
    std::uint8_t test_message_on = 0;
    std::string test_message_user;
    std::uint8_t balance_info_on = 0;
    std::uint8_t balance_count_on = 0;
    std::uint8_t balance_days_on = 0;
    std::uint8_t balance_count_valid = 0;
    std::string balance_count;
    std::uint8_t balance_days_valid = 0;
    std::string balance_days;
    std::string balance_query_number;

    // Texts of pages 1 to 3 (decode_texts).
    std::string header_text;
    std::string power_loss_text;
    std::string power_return_text;
    std::string input1_activation_text;
    std::string input1_deactivation_text;
    std::string input2_activation_text;
    std::string input2_deactivation_text;
    std::string input3_activation_text;
    std::string input3_deactivation_text;
    std::string input4_activation_text;
    std::string input5_activation_text;
    std::string input6_activation_text;
    std::string input7_activation_text;
    std::string input8_activation_text;
    std::string test_message_text;

    bool operator==(const Settings&) const = default;
};

} // namespace gnc
