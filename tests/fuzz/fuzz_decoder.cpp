// Decoder: over any image every settings value stays within its field's
// range, bytes 2048 and up are never read, and the same image decodes to the
// same values twice, whatever was decoded before.
//
// Input: a mode byte, then the image from its first byte (up to 4096 bytes;
// the rest 0xFF). With an odd mode byte every check byte and complement byte
// is first made to match, so that the fuzzer reaches the values of fields
// that pass their checks (long numbers, full texts) without guessing them.

#include "image/decoder.h"
#include "image/layout.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <memory>

using namespace gnc;

namespace {

bool is_flag(std::uint8_t value) {
    return value == 0 || value == 1;
}

bool all_digits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool has_zero_byte(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

void check_phone_number(const std::string& number) {
    FUZZ_CHECK(number.empty() || (number.size() >= 2 && number.size() <= 17));
    FUZZ_CHECK(all_digits(number));
}

// Seconds of a timed output: empty when its field fails the check, else
// the 16-bit value in decimal.
void check_seconds(std::uint8_t on, const std::string& seconds) {
    FUZZ_CHECK(is_flag(on));
    FUZZ_CHECK(!on || !seconds.empty());
    if (seconds.empty()) {
        return;
    }
    FUZZ_CHECK(seconds.size() <= 5 && all_digits(seconds));
    FUZZ_CHECK(seconds == "0" || seconds[0] != '0');
    FUZZ_CHECK(std::stoul(seconds) <= 65535);
}

void check_digit_field(std::uint8_t valid, const std::string& value) {
    FUZZ_CHECK(is_flag(valid));
    FUZZ_CHECK(value.size() <= 4 && !has_zero_byte(value));
    FUZZ_CHECK(valid || value.empty());
}

void check_texts(const Settings& s) {
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        const std::string& text = text_setting(s, i);
        const TextSlot& slot = text_slots[i];
        const bool fallback = text == slot.default_text;
        FUZZ_CHECK(fallback || (text.size() <= slot.scan_limit && !has_zero_byte(text)));
    }
}

void check_ranges(const Settings& s) {
    for (const std::string* number : {&s.sms_centre_number, &s.user_number_1, &s.user_number_2,
                                      &s.user_number_3, &s.user_number_4}) {
        check_phone_number(*number);
    }
    for (std::uint8_t flag :
         {s.echo_on, s.output1_steady_on, s.output2_steady_on, s.test_message_on, s.balance_info_on,
          s.balance_count_on, s.balance_days_on}) {
        FUZZ_CHECK(is_flag(flag));
    }
    check_seconds(s.output1_timed_on, s.output1_seconds);
    check_seconds(s.output2_timed_on, s.output2_seconds);
    FUZZ_CHECK(s.daily_sms_limit.size() <= 4 && !has_zero_byte(s.daily_sms_limit));
    FUZZ_CHECK(s.test_message_on ? (s.test_message_user.size() == 1 &&
                                    s.test_message_user[0] >= '1' && s.test_message_user[0] <= '4')
                                 : s.test_message_user.empty());
    check_digit_field(s.balance_count_valid, s.balance_count);
    check_digit_field(s.balance_days_valid, s.balance_days);
    // The length byte of its complement pair says how many bytes to take.
    FUZZ_CHECK(s.balance_query_number.size() <= 255);
    check_texts(s);
}

// Every value filled with something no decoding gives, to show that a
// decoding leaves nothing of what was there before.
Settings junk_settings() {
    Settings s;
    const std::string junk(300, '\x01');
    for (std::string* text :
         {&s.sms_centre_number, &s.user_number_1, &s.user_number_2, &s.user_number_3,
          &s.user_number_4, &s.output1_seconds, &s.output2_seconds, &s.daily_sms_limit,
          &s.test_message_user, &s.balance_count, &s.balance_days, &s.balance_query_number}) {
        *text = junk;
    }
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        text_setting(s, i) = junk;
    }
    for (std::uint8_t* value :
         {&s.sms_mask, &s.ring_mask, &s.input_mask, &s.echo_on, &s.output1_steady_on,
          &s.output2_steady_on, &s.output1_timed_on, &s.output2_timed_on, &s.test_message_on,
          &s.balance_info_on, &s.balance_count_on, &s.balance_days_on, &s.balance_count_valid,
          &s.balance_days_valid}) {
        *value = 0x5A;
    }
    return s;
}

std::uint8_t xor_check(const ImageBuffer& image, std::size_t from, std::size_t count) {
    std::uint8_t check = 0xAA;
    for (std::size_t i = from; i < from + count; ++i) {
        check = static_cast<std::uint8_t>(check ^ image[i]);
    }
    return check;
}

// Scans from `from` while the bytes pass `take`, for at most `limit` bytes.
template <typename Take>
std::size_t run_length(const ImageBuffer& image, std::size_t from, std::size_t limit, Take take) {
    std::size_t n = 0;
    while (n < limit && take(image[from + n])) {
        ++n;
    }
    return n;
}

void repair_checks(ImageBuffer& image) {
    for (std::size_t slot : {0, 20, 40, 60, 80}) {
        const std::size_t n =
            run_length(image, slot, 20, [](std::uint8_t b) { return b >= '0' && b <= '9'; });
        if (n < 19) {
            image[slot + 19] = xor_check(image, slot, n);
        }
    }
    for (std::size_t field : {100, 105}) {
        image[field + 2] = xor_check(image, field, 2);
    }
    for (std::size_t field : {110, 165, 170}) {
        image[field + 4] = xor_check(image, field, 4);
    }
    for (std::size_t field : {120, 135}) {
        image[field + 3] = xor_check(image, field, 3);
    }
    image[132] = xor_check(image, 130, 2);
    for (std::size_t pair : {140, 145, 155, 160, 300}) {
        image[pair + 1] = image[pair] ^ 0xAA;
    }
    image[275] = xor_check(image, 175, 100);
    for (const TextSlot& slot : text_slots) {
        const std::size_t n =
            run_length(image, slot.offset, slot.scan_limit, [](std::uint8_t b) { return b != 0; });
        if (n < 101) {
            image[slot.offset + 101] = xor_check(image, slot.offset, n);
        }
    }
}

void decode_all(const ImageBuffer& image, Settings& settings) {
    decode_parameters(image, settings);
    odczytaj_uzytkownikow(image, settings);
    decode_texts(image, settings);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool repair = size > 0 && (data[0] & 1) != 0;
    if (size > 0) {
        ++data;
        --size;
    }
    auto image = std::make_unique<ImageBuffer>();
    image->fill(0xFF);
    std::copy_n(data, std::min(size, image->size()), image->begin());
    if (repair) {
        repair_checks(*image);
    }

    // The second half is never the decoder's business: under the address
    // sanitizer any access to it fails; without it, a changed second half
    // must not change a single value.
    std::uint8_t* second_half = image->data() + settings_image_size;
    const std::size_t second_size = image_buffer_size - settings_image_size;
    fuzz::forbid_access(second_half, second_size);
    Settings fresh;
    decode_all(*image, fresh);
    Settings reused = junk_settings();
    decode_all(*image, reused);
    fuzz::allow_access(second_half, second_size);

    FUZZ_CHECK(fresh == reused);
    check_ranges(fresh);

    std::transform(second_half, second_half + second_size, second_half,
                   [](std::uint8_t b) { return static_cast<std::uint8_t>(~b); });
    Settings flipped;
    decode_all(*image, flipped);
    FUZZ_CHECK(flipped == fresh);
    return 0;
}
