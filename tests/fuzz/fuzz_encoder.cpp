// Encoder: over any texts, check boxes and radio choices, bytes outside the
// composed fields never change; a message is shown exactly when
// compose_error is set; a seconds text that is not an integer stops the
// composition and every later field keeps its bytes; and input that the
// windows' rules accept decodes back to itself.
//
// Input: a mode byte (even: any texts; odd: texts the windows accept), the
// controls, then the image the composition starts from.

#include "image/decoder.h"
#include "image/encoder.h"
#include "image/layout.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <bitset>
#include <limits>
#include <utility>
#include <vector>

using namespace gnc;
using gnc::fuzz::ByteReader;

namespace {

using Range = std::pair<std::size_t, std::size_t>; // first byte, byte count

// Page 0 fields, in the order the composition writes them.
const std::vector<Range> numbers_masks_steady{{0, 100}, {155, 2}, {140, 2}, {145, 2},
                                              {160, 2}, {100, 5}, {105, 5}};
const Range timed1{120, 4};
const Range timed2{135, 4};
// Everything composed after the two timed outputs.
std::vector<Range> fields_after_timed() {
    std::vector<Range> fields{{130, 3}, {110, 5}, {170, 5},   {305, 1}, {310, 1},
                              {315, 1}, {165, 5}, {175, 101}, {300, 2}};
    for (const TextSlot& slot : text_slots) {
        fields.push_back({slot.offset, 102});
    }
    return fields;
}

std::vector<bool> composed_bytes() {
    std::vector<bool> composed(image_buffer_size, false);
    auto mark = [&](const Range& r) {
        std::fill_n(composed.begin() + static_cast<std::ptrdiff_t>(r.first), r.second, true);
    };
    std::for_each(numbers_masks_steady.begin(), numbers_masks_steady.end(), mark);
    mark(timed1);
    mark(timed2);
    const auto after = fields_after_timed();
    std::for_each(after.begin(), after.end(), mark);
    return composed;
}

bool same_bytes(const ImageBuffer& a, const ImageBuffer& b, const Range& r) {
    const auto first = static_cast<std::ptrdiff_t>(r.first);
    return std::equal(a.begin() + first, a.begin() + first + static_cast<std::ptrdiff_t>(r.second),
                      b.begin() + first);
}

// An optional sign and decimal digits within the signed 32-bit range.
bool is_integer_text(const std::string& text) {
    std::size_t start = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (start == text.size() || text.size() - start > 30) {
        return false;
    }
    long long value = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) {
            return false;
        }
    }
    return text[0] == '-' || value <= std::numeric_limits<std::int32_t>::max();
}

// ---- Building the controls ----------------------------------------------------

std::string digits(ByteReader& in, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(static_cast<char>('0' + in.byte() % 10));
    }
    return out;
}

// Texts of any bytes and lengths a little past each field's limit.
EncoderInput any_controls(ByteReader& in) {
    EncoderInput input;
    ParametersControls& p = input.parameters;
    p.Edit7 = in.sized_text(22);
    for (std::string* user : {&p.Edit8, &p.Edit9, &p.Edit10, &p.Edit11}) {
        *user = in.sized_text(22);
    }
    p.CheckBox17 = in.flag();
    for (auto* boxes : {&p.sms_mask_boxes[0], &p.ring_mask_boxes[0]}) {
        for (int i = 0; i < 4; ++i) {
            boxes[i] = in.flag();
        }
    }
    for (bool& box : p.input_mask_boxes) {
        box = in.flag();
    }
    for (int* group : {&p.RadioGroup2, &p.RadioGroup3, &p.RadioGroup4, &p.RadioGroup5}) {
        *group = static_cast<int>(in.choice(3)) - 1;
    }
    for (std::string* text : {&p.Edit5, &p.Edit12, &p.Edit1, &p.Edit4, &p.Edit3}) {
        *text = in.sized_text(12);
    }
    p.CheckBox20 = in.flag();
    p.CheckBox10 = in.flag();
    p.CheckBox9 = in.flag();
    p.Edit2 = in.sized_text(24);
    MessagesControls& m = input.messages;
    m.CheckBox1 = in.flag();
    m.Edit11 = in.sized_text(4);
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        m.texts[i] = in.sized_text(text_slots[i].longest_text + 3);
    }
    return input;
}

// A phone number the windows accept and the decoder reads back: 2 to 17
// digits (users may also be empty).
std::string phone_number(ByteReader& in, bool may_be_empty) {
    std::size_t length = in.byte() % 18;
    if (length < 2 && !(may_be_empty && length == 0)) {
        length = 2;
    }
    return digits(in, length);
}

std::string text_without_zero(ByteReader& in, std::size_t longest) {
    std::string text = in.sized_text(longest);
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

EncoderInput accepted_controls(ByteReader& in) {
    EncoderInput input = any_controls(in);
    ParametersControls& p = input.parameters;
    p.Edit7 = phone_number(in, false);
    for (std::string* user : {&p.Edit8, &p.Edit9, &p.Edit10, &p.Edit11}) {
        *user = phone_number(in, true);
    }
    if (p.RadioGroup4 == 0) {
        p.Edit5 = std::to_string(in.word());
    }
    if (p.RadioGroup5 == 0) {
        p.Edit12 = std::to_string(in.word());
    }
    p.Edit1 = digits(in, 1 + in.choice(4));
    if (p.CheckBox20) {
        p.Edit4 = std::to_string(10 + in.word() % 9990);
    }
    if (p.CheckBox10) {
        p.Edit3 = digits(in, 1 + in.choice(4));
    }
    p.Edit2 = in.sized_text(20);
    MessagesControls& m = input.messages;
    if (m.CheckBox1) {
        m.Edit11 = std::to_string(1 + in.choice(4));
    }
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        m.texts[i] = text_without_zero(in, text_slots[i].longest_text);
    }
    return input;
}

// ---- Properties ---------------------------------------------------------------

void check_untouched_outside_fields(const ImageBuffer& before, const ImageBuffer& after) {
    static const std::vector<bool> composed = composed_bytes();
    for (std::size_t i = 0; i < image_buffer_size; ++i) {
        FUZZ_CHECK(composed[i] || before[i] == after[i]);
    }
}

void check_integer_stop(const EncoderInput& input, const ComposeResult& result,
                        const ImageBuffer& before, const ImageBuffer& after) {
    const ParametersControls& p = input.parameters;
    const bool first_stops = p.RadioGroup4 == 0 && !is_integer_text(p.Edit5);
    const bool second_stops = !first_stops && p.RadioGroup5 == 0 && !is_integer_text(p.Edit12);
    FUZZ_CHECK(result.invalid_integer_text.has_value() == (first_stops || second_stops));
    if (!first_stops && !second_stops) {
        return;
    }
    FUZZ_CHECK(*result.invalid_integer_text == (first_stops ? p.Edit5 : p.Edit12));
    std::vector<Range> kept = fields_after_timed();
    kept.push_back(timed2);
    if (first_stops) {
        kept.push_back(timed1);
    }
    for (const Range& field : kept) {
        FUZZ_CHECK(same_bytes(before, after, field));
    }
}

Settings expected_settings(const EncoderInput& input, const Settings& composed) {
    const ParametersControls& p = input.parameters;
    const MessagesControls& m = input.messages;
    Settings s;
    s.sms_centre_number = p.Edit7;
    s.user_number_1 = p.Edit8;
    s.user_number_2 = p.Edit9;
    s.user_number_3 = p.Edit10;
    s.user_number_4 = p.Edit11;
    s.sms_mask = composed.sms_mask;
    s.ring_mask = composed.ring_mask;
    s.input_mask = composed.input_mask;
    s.echo_on = p.CheckBox17;
    s.output1_steady_on = p.RadioGroup2 == 0;
    s.output2_steady_on = p.RadioGroup3 == 0;
    s.output1_timed_on = p.RadioGroup4 == 0;
    s.output2_timed_on = p.RadioGroup5 == 0;
    s.output1_seconds = p.RadioGroup4 == 0 ? p.Edit5 : "0";
    s.output2_seconds = p.RadioGroup5 == 0 ? p.Edit12 : "0";
    s.daily_sms_limit = p.Edit1;
    s.test_message_on = m.CheckBox1;
    s.test_message_user = m.CheckBox1 ? m.Edit11 : "";
    s.balance_info_on = p.CheckBox9;
    s.balance_count_on = p.CheckBox20;
    s.balance_days_on = p.CheckBox10;
    s.balance_count_valid = p.CheckBox20;
    s.balance_count = p.CheckBox20 ? p.Edit4 : "";
    s.balance_days_valid = p.CheckBox10;
    s.balance_days = p.CheckBox10 ? p.Edit3 : "";
    s.balance_query_number = p.Edit2;
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        text_setting(s, i) = m.texts[i];
    }
    return s;
}

// Each mask holds exactly one bit per ticked box, within its box count.
void check_masks(const ParametersControls& p, const Settings& s) {
    auto ticked = [](const bool* boxes, std::size_t count) {
        return static_cast<std::size_t>(std::count(boxes, boxes + count, true));
    };
    FUZZ_CHECK(s.sms_mask < 16 &&
               std::bitset<8>(s.sms_mask).count() == ticked(p.sms_mask_boxes.data(), 4));
    FUZZ_CHECK(s.ring_mask < 16 &&
               std::bitset<8>(s.ring_mask).count() == ticked(p.ring_mask_boxes.data(), 4));
    FUZZ_CHECK(std::bitset<8>(s.input_mask).count() == ticked(p.input_mask_boxes.data(), 8));
}

void check_decodes_back(const EncoderInput& input, const ImageBuffer& image,
                        const Settings& composed) {
    Settings decoded;
    decode_parameters(image, decoded);
    odczytaj_uzytkownikow(image, decoded);
    decode_texts(image, decoded);
    Settings expected = expected_settings(input, composed);
    if (input.parameters.Edit2.empty()) {
        // An empty query number leaves its length pair to the parameters window.
        expected.balance_query_number = decoded.balance_query_number;
    }
    FUZZ_CHECK(decoded == expected);
    check_masks(input.parameters, decoded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    const bool accepted_only = in.flag();
    const EncoderInput input = accepted_only ? accepted_controls(in) : any_controls(in);

    ImageBuffer image;
    const auto rest = in.bytes(image.size());
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = rest.empty() ? static_cast<std::uint8_t>(i * 13 + 5) : rest[i % rest.size()];
    }
    const ImageBuffer before = image;
    Settings settings;
    std::vector<std::string> messages;
    const ComposeResult result = compose_image(
        image, settings, input, [&](const std::string& text) { messages.push_back(text); });

    check_untouched_outside_fields(before, image);
    FUZZ_CHECK(!messages.empty() == result.compose_error);
    FUZZ_CHECK(!result.close_messages_window || result.compose_error);
    check_integer_stop(input, result, before, image);

    if (accepted_only) {
        FUZZ_CHECK(messages.empty() && !result.invalid_integer_text);
        check_decodes_back(input, image, settings);
    }
    return 0;
}
