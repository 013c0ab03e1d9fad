#include "image/encoder.h"

#include "image/check.h"
#include "image/cp1250.h"
#include "image/number_text.h"

#include <algorithm>
#include <string_view>

namespace gnc {

namespace {

constexpr const char* sms_centre_message = "NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI CENTRUM SMS";

constexpr std::array<const char*, 4> user_messages{
    "NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI UŻYTKOWNIKA NR 1",
    "NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI UŻYTKOWNIKA NR 2",
    "NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI UŻYTKOWNIKA NR 3",
    "NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI UŻYTKOWNIKA NR 4",
};

constexpr const char* test_index_message = "PODANO NIEPRAWIDŁOWY INDEX UŻYTKOWNIKA";

constexpr const char* balance_count_empty_message =
    "Opcja iloćiowej informacji o stanie konta jest zaznaczona ale nie podano wartości. "
    "Skoryguj ustawienia";
constexpr const char* balance_count_minimum_message =
    "Minimalna wartość ilościowego informowania o stanie konta wynosi 10. Skoryguj ustawienia";
constexpr const char* balance_count_range_message =
    "Ilościowe informowanie o stanie konta powinno być liczbą w zakresie od 10 do 9999. "
    "Skoryguj ustawienia";
constexpr const char* balance_days_empty_message =
    "Opcja czasowego informowania o stanie konta jest zaznaczona ale nie podano wartości. "
    "Skoryguj ustawienia";

constexpr std::int32_t balance_count_minimum = 10;

// Shown when a text is longer than its slot allows, in slot order.
constexpr std::array<const char*, text_slot_count> text_too_long_messages{
    "DEFINICJA KOMUNIKATU NAGŁÓWKA PRZEKRACZA 50 ZNAKÓW, ZMIEŃ USTAWIENIA",
    "DEFINICJA KOMUNIKATU ALARMU 1 przekracza 100 znaków",
    "DEFINICJA KOMUNIKATU ALARMOWEGO 2 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 3 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 4 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 5 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 6 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 7 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 8 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 9 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 10 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 11 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 12 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 13 PRZEKRACZA 100 ZNAKÓW ",
    "DEFINICJA KOMUNIKATU ALARMOWEGO NR 14 PRZEKRACZA 100 ZNAKÓW ",
};

void clear(ImageBuffer& image, std::size_t offset, std::size_t count) {
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(offset), count, std::uint8_t{0});
}

// Stores the characters one byte each from `offset` and returns their check byte.
std::uint8_t store_text(ImageBuffer& image, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    return check_byte(image, offset, text.size());
}

// A digit field holds at most four characters; a longer text (which the
// window rules never let through) is cut so nothing spills into the check.
void store_digit_field(ImageBuffer& image, std::size_t field, std::string_view text) {
    const std::string_view kept = text.substr(0, digit_field_width);
    image[field + digit_field_width] = store_text(image, field, kept);
}

std::uint8_t bit_mask(const bool* boxes, std::size_t count) {
    std::uint8_t mask = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (boxes[i]) {
            mask |= static_cast<std::uint8_t>(0x80 >> (8 - count + i));
        }
    }
    return mask;
}

class Composer {
  public:
    Composer(ImageBuffer& image, Settings& settings, const EncoderInput& input,
             const MessageSink& show)
        : image_(image), settings_(settings), params_(input.parameters), messages_(input.messages),
          show_(show) {}

    ComposeResult run() {
        compose_sms_centre();
        compose_users();
        compose_echo_and_masks();
        compose_steady_output(output1_steady_field, params_.RadioGroup2);
        compose_steady_output(output2_steady_field, params_.RadioGroup3);
        if (!compose_timed_output(output1_timed_field, params_.RadioGroup4, params_.Edit5) ||
            !compose_timed_output(output2_timed_field, params_.RadioGroup5, params_.Edit12)) {
            return result_;
        }
        compose_test_message();
        clear(image_, daily_limit_field, digit_field_width + 1);
        store_digit_field(image_, daily_limit_field, params_.Edit1);
        compose_balance_count();
        compose_balance_flags();
        compose_balance_days();
        compose_balance_query();
        if (compose_texts(image_, messages_, show_)) {
            result_.compose_error = true;
        }
        return result_;
    }

  private:
    void report(const char* message) {
        show_(message);
        result_.compose_error = true;
    }

    void report_and_close(const char* message) {
        report(message);
        result_.close_messages_window = true;
    }

    void compose_sms_centre() {
        clear(image_, sms_centre_slot, phone_slot_size);
        const std::string& text = params_.Edit7;
        if (text.empty() || text.size() > sms_centre_longest) {
            report_and_close(sms_centre_message);
            return;
        }
        image_[sms_centre_slot + phone_slot_check] = store_text(image_, sms_centre_slot, text);
    }

    void compose_users() {
        const std::array<const std::string*, 4> texts{&params_.Edit8, &params_.Edit9,
                                                      &params_.Edit10, &params_.Edit11};
        for (std::size_t n = 0; n < user_slots.size(); ++n) {
            compose_user(user_slots[n], *texts[n], user_messages[n]);
        }
    }

    // An empty number leaves the slot all zero, its check byte included. A
    // text too long to fit before the check byte is not stored at all.
    void compose_user(std::size_t slot, const std::string& text, const char* message) {
        clear(image_, slot, phone_slot_size);
        if (!text.empty() && text.size() <= phone_slot_check) {
            image_[slot + phone_slot_check] = store_text(image_, slot, text);
        }
        if (text.size() > user_number_longest) {
            report(message);
        }
    }

    void compose_echo_and_masks() {
        write_pair(image_, echo_field, params_.CheckBox17 ? 1 : 0);
        settings_.sms_mask = bit_mask(params_.sms_mask_boxes.data(), 4);
        write_pair(image_, sms_mask_field, settings_.sms_mask);
        settings_.ring_mask = bit_mask(params_.ring_mask_boxes.data(), 4);
        write_pair(image_, ring_mask_field, settings_.ring_mask);
        settings_.input_mask = bit_mask(params_.input_mask_boxes.data(), 8);
        write_pair(image_, input_mask_field, settings_.input_mask);
    }

    void compose_steady_output(std::size_t field, int item_index) {
        clear(image_, field, steady_field_cleared);
        image_[field] = item_index == 0 ? 1 : 0;
        image_[field + steady_field_check] = check_byte(image_, field, steady_field_check);
    }

    // False when the seconds text of an output switched on is not an integer:
    // the composition ends there and this field keeps its earlier bytes.
    bool compose_timed_output(std::size_t field, int item_index, const std::string& seconds) {
        std::int32_t value = 0;
        if (item_index == 0) {
            const auto read = read_integer(seconds);
            if (!read) {
                result_.invalid_integer_text = seconds;
                return false;
            }
            value = *read;
        }
        image_[field] = item_index == 0 ? 1 : 0;
        image_[field + 1] = static_cast<std::uint8_t>(value / 256);
        image_[field + 2] = static_cast<std::uint8_t>(value % 256);
        image_[field + timed_field_check] = check_byte(image_, field, timed_field_check);
        return true;
    }

    // The check byte is rewritten only for a valid index; an unticked box
    // leaves it as it was.
    void compose_test_message() {
        clear(image_, test_message_field, test_message_check);
        if (!messages_.CheckBox1) {
            return;
        }
        const auto index = read_integer(messages_.Edit11);
        if (!index) {
            report(test_index_message);
            return;
        }
        if (*index < 1 || *index > 4) {
            return;
        }
        image_[test_message_field] = 1;
        image_[test_message_field + 1] = static_cast<std::uint8_t>(*index);
        image_[test_message_field + test_message_check] =
            check_byte(image_, test_message_field, test_message_check);
    }

    void compose_balance_count() {
        clear(image_, balance_count_field, digit_field_width + 1);
        if (!params_.CheckBox20) {
            return;
        }
        const std::string& text = params_.Edit4;
        if (text.empty()) {
            report_and_close(balance_count_empty_message);
            return;
        }
        const auto value = read_integer(text);
        if (!value) {
            report_and_close(balance_count_range_message);
        } else if (*value < balance_count_minimum) {
            report_and_close(balance_count_minimum_message);
        }
        store_digit_field(image_, balance_count_field, text);
    }

    void compose_balance_flags() {
        image_[balance_info_flag] = params_.CheckBox9 ? 1 : 0;
        image_[balance_days_flag] = params_.CheckBox10 ? 1 : 0;
        image_[balance_count_flag] = params_.CheckBox20 ? 1 : 0;
    }

    void compose_balance_days() {
        clear(image_, balance_days_field, digit_field_width + 1);
        if (!params_.CheckBox10) {
            return;
        }
        if (params_.Edit3.empty()) {
            report_and_close(balance_days_empty_message);
            return;
        }
        store_digit_field(image_, balance_days_field, params_.Edit3);
    }

    // Without a text of 1 to 20 characters the check and the length pair keep
    // their earlier bytes; the parameters window rewrites the pair itself.
    void compose_balance_query() {
        clear(image_, balance_query_slot, balance_query_slot_size);
        const std::string& text = params_.Edit2;
        if (text.empty() || text.size() > balance_query_longest) {
            return;
        }
        store_text(image_, balance_query_slot, text);
        image_[balance_query_check] =
            check_byte(image_, balance_query_slot, balance_query_slot_size);
        write_pair(image_, balance_query_length, static_cast<std::uint8_t>(text.size()));
    }

    ImageBuffer& image_;
    Settings& settings_;
    const ParametersControls& params_;
    const MessagesControls& messages_;
    const MessageSink& show_;
    ComposeResult result_;
};

} // namespace

ComposeResult compose_image(ImageBuffer& image, Settings& settings, const EncoderInput& input,
                            const MessageSink& show) {
    return Composer(image, settings, input, show).run();
}

bool compose_texts(ImageBuffer& image, const MessagesControls& messages, const MessageSink& show) {
    bool problem = false;
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        const TextSlot& slot = text_slots[i];
        const std::string& text = messages.texts[i];
        clear(image, slot.offset, text_slot_size);
        const bool fits = text.size() <= slot.longest_text;
        image[slot.offset + text_slot_check] =
            fits ? store_text(image, slot.offset, text) : check_seed;
        if (!fits) {
            show(text_too_long_messages[i]);
            problem = true;
        }
    }
    return problem;
}

std::string invalid_integer_message(const std::string& text) {
    return "'" + cp1250_to_utf8(text) + "' is not a valid integer value";
}

} // namespace gnc
