#include "tools/template/settings_report.h"

#include "image/cp1250.h"

#include <cstdio>

namespace gnc {

namespace {

ReportEntry text(const char* name, const std::string& value) {
    return {name, true, value, 0};
}

ReportEntry number(const char* name, std::uint8_t value) {
    return {name, false, {}, value};
}

std::string hex_escape(const char* format, unsigned char c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, c);
    return buffer;
}

bool is_control(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// Bytes that have no printable CP1250 character of their own; shown as \xNN.
bool needs_hex_escape(unsigned char c) {
    return is_control(c) || cp1250_code_point(c) == 0xFFFD;
}

// A backslash is doubled so that a text holding "\x01" cannot be mistaken
// for the escape of a control byte.
std::string plain_text(const std::string& cp1250) {
    std::string out;
    for (unsigned char c : cp1250) {
        if (c == '\\') {
            out += "\\\\";
        } else {
            out += needs_hex_escape(c) ? hex_escape("\\x%02X", c)
                                       : cp1250_to_utf8(std::string(1, static_cast<char>(c)));
        }
    }
    return out;
}

std::string json_string(const std::string& cp1250) {
    std::string out = "\"";
    for (unsigned char c : cp1250) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            out += c < 0x20 ? hex_escape("\\u%04X", c)
                            : cp1250_to_utf8(std::string(1, static_cast<char>(c)));
        }
    }
    return out + "\"";
}

} // namespace

std::vector<ReportEntry> report_entries(const Settings& s) {
    return {
        text("sms_centre_number", s.sms_centre_number),
        text("user_number_1", s.user_number_1),
        text("user_number_2", s.user_number_2),
        text("user_number_3", s.user_number_3),
        text("user_number_4", s.user_number_4),
        number("sms_mask", s.sms_mask),
        number("ring_mask", s.ring_mask),
        number("input_mask", s.input_mask),
        number("echo_on", s.echo_on),
        number("output1_steady_on", s.output1_steady_on),
        number("output2_steady_on", s.output2_steady_on),
        number("output1_timed_on", s.output1_timed_on),
        number("output2_timed_on", s.output2_timed_on),
        text("output1_seconds", s.output1_seconds),
        text("output2_seconds", s.output2_seconds),
        text("daily_sms_limit", s.daily_sms_limit),
        number("test_message_on", s.test_message_on),
        text("test_message_user", s.test_message_user),
        number("balance_info_on", s.balance_info_on),
        number("balance_count_on", s.balance_count_on),
        number("balance_days_on", s.balance_days_on),
        number("balance_count_valid", s.balance_count_valid),
        text("balance_count", s.balance_count),
        number("balance_days_valid", s.balance_days_valid),
        text("balance_days", s.balance_days),
        text("balance_query_number", s.balance_query_number),
        text("header_text", s.header_text),
        text("power_loss_text", s.power_loss_text),
        text("power_return_text", s.power_return_text),
        text("input1_activation_text", s.input1_activation_text),
        text("input1_deactivation_text", s.input1_deactivation_text),
        text("input2_activation_text", s.input2_activation_text),
        text("input2_deactivation_text", s.input2_deactivation_text),
        text("input3_activation_text", s.input3_activation_text),
        text("input3_deactivation_text", s.input3_deactivation_text),
        text("input4_activation_text", s.input4_activation_text),
        text("input5_activation_text", s.input5_activation_text),
        text("input6_activation_text", s.input6_activation_text),
        text("input7_activation_text", s.input7_activation_text),
        text("input8_activation_text", s.input8_activation_text),
        text("test_message_text", s.test_message_text),
    };
}

std::string plain_report(const std::vector<ReportEntry>& entries) {
    std::string out;
    for (const ReportEntry& e : entries) {
        out += e.name;
        out += ": ";
        out += e.is_text ? plain_text(e.text) : std::to_string(e.number);
        out += '\n';
    }
    return out;
}

std::string json_report(const std::vector<ReportEntry>& entries) {
    std::string out = "{";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ReportEntry& e = entries[i];
        out += i == 0 ? "\n  \"" : ",\n  \"";
        out += e.name;
        out += "\": ";
        out += e.is_text ? json_string(e.text) : std::to_string(e.number);
    }
    return out + "\n}\n";
}

} // namespace gnc
