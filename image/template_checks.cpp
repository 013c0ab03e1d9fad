#include "image/template_checks.h"

#include "image/check.h"
#include "image/decoder.h"
#include "image/layout.h"

#include <algorithm>
#include <array>
#include <functional>

namespace gnc {

namespace {

using FieldCheck = std::function<bool(const ImageBuffer&)>;

// A field of the settings image: the bytes it covers (one or two ranges),
// the inspector names of the values it holds, and its validity.
struct Field {
    std::size_t first, last;             // inclusive
    std::size_t extra_first, extra_last; // a second range, or 0, 0
    const char* names;
    FieldCheck valid;
};

bool all_zero(const ImageBuffer& image, std::size_t first, std::size_t count) {
    return std::all_of(image.begin() + static_cast<std::ptrdiff_t>(first),
                       image.begin() + static_cast<std::ptrdiff_t>(first + count),
                       [](std::uint8_t b) { return b == 0; });
}

bool check_matches(const ImageBuffer& image, std::size_t first, std::size_t count) {
    return image[first + count] == check_byte(image, first, count);
}

bool phone_slot_valid(const ImageBuffer& image, std::size_t slot) {
    if (all_zero(image, slot, phone_slot_size)) {
        return true; // an empty number as composed
    }
    std::size_t digits = 0;
    while (digits < phone_slot_size && image[slot + digits] >= '0' && image[slot + digits] <= '9') {
        ++digits;
    }
    return digits >= phone_digits_min && digits <= phone_digits_max &&
           image[slot + phone_slot_check] == check_byte(image, slot, digits);
}

bool digit_field_valid(const ImageBuffer& image, std::size_t field, bool may_be_cleared) {
    return check_matches(image, field, digit_field_width) ||
           (may_be_cleared && all_zero(image, field, digit_field_width + 1));
}

bool test_message_valid(const ImageBuffer& image) {
    const std::size_t f = test_message_field;
    if (image[f] == 0 && image[f + 1] == 0) {
        return true; // switched off: the composition leaves the check byte alone
    }
    return check_matches(image, f, test_message_check) && image[f] == 1 && image[f + 1] >= 1 &&
           image[f + 1] <= 4;
}

bool balance_query_valid(const ImageBuffer& image) {
    if (!pair_valid(image, balance_query_length)) {
        return false;
    }
    return image[balance_query_length] == 0 ||
           check_matches(image, balance_query_slot, balance_query_slot_size);
}

bool text_slot_valid(const ImageBuffer& image, const TextSlot& slot) {
    std::uint8_t check = check_seed;
    for (std::size_t i = 0; i < slot.scan_limit && image[slot.offset + i] != 0; ++i) {
        check ^= image[slot.offset + i];
    }
    return image[slot.offset + text_slot_check] == check;
}

const char* const text_names[text_slot_count] = {
    "header_text",
    "power_loss_text",
    "power_return_text",
    "input1_activation_text",
    "input1_deactivation_text",
    "input2_activation_text",
    "input2_deactivation_text",
    "input3_activation_text",
    "input3_deactivation_text",
    "input4_activation_text",
    "input5_activation_text",
    "input6_activation_text",
    "input7_activation_text",
    "input8_activation_text",
    "test_message_text",
};

std::vector<Field> make_fields() {
    const char* const phone_names[5] = {"sms_centre_number", "user_number_1", "user_number_2",
                                        "user_number_3", "user_number_4"};
    std::vector<Field> fields;
    for (std::size_t n = 0; n < 5; ++n) {
        const std::size_t slot = n * phone_slot_size;
        fields.push_back({slot, slot + phone_slot_size - 1, 0, 0, phone_names[n],
                          [slot](const ImageBuffer& i) { return phone_slot_valid(i, slot); }});
    }
    auto steady = [](std::size_t f, const char* name) {
        return Field{
            f,    f + steady_field_cleared - 1,
            0,    0,
            name, [f](const ImageBuffer& i) {
                         return check_matches(i, f, steady_field_check); }};
    };
    auto timed = [](std::size_t f, const char* names) {
        return Field{
            f,     f + timed_field_check,
            0,     0,
            names, [f](const ImageBuffer& i) {
                         return check_matches(i, f, timed_field_check); }};
    };
    auto digits = [](std::size_t f, const char* name, bool may_be_cleared) {
        return Field{
            f, f + digit_field_width, 0, 0, name, [f, may_be_cleared](const ImageBuffer& i) {
                return digit_field_valid(i, f, may_be_cleared);
            }};
    };
    auto pair = [](std::size_t f, const char* name) {
        return Field{f, f + 1, 0, 0, name, [f](const ImageBuffer& i) { return pair_valid(i, f); }};
    };
    auto flag = [](std::size_t f, const char* name) {
        return Field{f, f, 0, 0, name, [](const ImageBuffer&) { return true; }};
    };
    fields.push_back(steady(output1_steady_field, "output1_steady_on"));
    fields.push_back(steady(output2_steady_field, "output2_steady_on"));
    fields.push_back(digits(daily_limit_field, "daily_sms_limit", false));
    fields.push_back(timed(output1_timed_field, "output1_timed_on, output1_seconds"));
    fields.push_back({test_message_field, test_message_field + test_message_check, 0, 0,
                      "test_message_on, test_message_user", test_message_valid});
    fields.push_back(timed(output2_timed_field, "output2_timed_on, output2_seconds"));
    fields.push_back(pair(sms_mask_field, "sms_mask"));
    fields.push_back(pair(ring_mask_field, "ring_mask"));
    fields.push_back(pair(echo_field, "echo_on"));
    fields.push_back(pair(input_mask_field, "input_mask"));
    fields.push_back(digits(balance_days_field, "balance_days", true));
    fields.push_back(digits(balance_count_field, "balance_count", true));
    fields.push_back({balance_query_slot, balance_query_check, balance_query_length,
                      balance_query_length + 1, "balance_query_number", balance_query_valid});
    fields.push_back(flag(balance_info_flag, "balance_info_on"));
    fields.push_back(flag(balance_count_flag, "balance_count_on"));
    fields.push_back(flag(balance_days_flag, "balance_days_on"));
    for (std::size_t s = 0; s < text_slot_count; ++s) {
        const TextSlot slot = text_slots[s];
        fields.push_back({slot.offset, slot.offset + text_slot_size - 1, 0, 0, text_names[s],
                          [slot](const ImageBuffer& i) { return text_slot_valid(i, slot); }});
    }
    return fields;
}

const std::vector<Field>& fields() {
    static const std::vector<Field> table = make_fields();
    return table;
}

bool covers(const Field& field, std::size_t offset) {
    return (offset >= field.first && offset <= field.last) ||
           (field.extra_last != 0 && offset >= field.extra_first && offset <= field.extra_last);
}

} // namespace

std::vector<std::string> fields_failing_checks(const ImageBuffer& image) {
    std::vector<std::string> names;
    for (const Field& field : fields()) {
        if (!field.valid(image)) {
            names.emplace_back(field.names);
        }
    }
    return names;
}

EncoderInput controls_showing(const Settings& s) {
    EncoderInput input;
    ParametersControls& p = input.parameters;
    p.Edit7 = s.sms_centre_number;
    p.Edit8 = s.user_number_1;
    p.Edit9 = s.user_number_2;
    p.Edit10 = s.user_number_3;
    p.Edit11 = s.user_number_4;
    p.CheckBox17 = s.echo_on == 1;
    for (int user = 0; user < 4; ++user) {
        const auto bit = static_cast<std::uint8_t>(0x08 >> user);
        p.sms_mask_boxes[user] = (s.sms_mask & bit) != 0;
        p.ring_mask_boxes[user] = (s.ring_mask & bit) != 0;
    }
    for (int in = 0; in < 8; ++in) {
        p.input_mask_boxes[in] = (s.input_mask & (0x80 >> in)) != 0;
    }
    // Item 0 ("AKTYWNE", "TAK") means driven.
    p.RadioGroup2 = s.output1_steady_on == 1 ? 0 : 1;
    p.RadioGroup3 = s.output2_steady_on == 1 ? 0 : 1;
    p.RadioGroup4 = s.output1_timed_on == 1 ? 0 : 1;
    p.RadioGroup5 = s.output2_timed_on == 1 ? 0 : 1;
    p.Edit5 = s.output1_seconds;
    p.Edit12 = s.output2_seconds;
    p.Edit1 = s.daily_sms_limit;
    p.CheckBox20 = s.balance_count_on == 1;
    p.Edit4 = s.balance_count;
    p.CheckBox10 = s.balance_days_on == 1;
    p.Edit3 = s.balance_days;
    p.CheckBox9 = s.balance_info_on == 1;
    p.Edit2 = s.balance_query_number;

    MessagesControls& m = input.messages;
    m.CheckBox1 = s.test_message_on == 1;
    m.Edit11 = s.test_message_user;
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        m.texts[i] = text_setting(s, i);
    }
    return input;
}

std::vector<std::string> encoder_messages(const ImageBuffer& image, const Settings& settings) {
    std::vector<std::string> messages;
    ImageBuffer scratch = image;
    Settings scratch_settings = settings;
    const ComposeResult result =
        compose_image(scratch, scratch_settings, controls_showing(settings),
                      [&messages](const std::string& message) { messages.push_back(message); });
    if (result.invalid_integer_text) {
        messages.push_back(invalid_integer_message(*result.invalid_integer_text));
    }
    return messages;
}

std::vector<std::string> fields_differing(const ImageBuffer& a, const ImageBuffer& b) {
    std::vector<std::string> names;
    auto add = [&names](const std::string& name) {
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    };
    for (std::size_t offset = 0; offset < settings_image_size; ++offset) {
        if (a[offset] == b[offset]) {
            continue;
        }
        const auto field = std::find_if(fields().begin(), fields().end(),
                                        [offset](const Field& f) { return covers(f, offset); });
        add(field != fields().end() ? field->names : "bajt " + std::to_string(offset));
    }
    return names;
}

} // namespace gnc
