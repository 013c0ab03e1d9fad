// The decoder's fallbacks and the byte layout it reads.

#include "image/check.h"
#include "image/decoder.h"
#include "image/layout.h"
#include "tests/image/image_bytes.h"

#include <QTest>

using namespace gnc;
using gnc::test::filled_image;
using gnc::test::put_bytes;
using gnc::test::put_zeros;
using gnc::test::xor_check;

namespace {

Settings decode_all(const ImageBuffer& image, Settings settings = {}) {
    decode_parameters(image, settings);
    odczytaj_uzytkownikow(image, settings);
    decode_texts(image, settings);
    return settings;
}

// A phone slot of digits, zero padded, with the given check byte.
void put_phone_slot(ImageBuffer& image, std::size_t slot, std::string_view digits,
                    std::uint8_t check) {
    put_zeros(image, slot, 20);
    put_bytes(image, slot, digits);
    image[slot + 19] = check;
}

void put_text_slot(ImageBuffer& image, std::size_t slot, std::string_view text) {
    put_zeros(image, slot, 102);
    put_bytes(image, slot, text);
    image[slot + 101] = xor_check(text);
}

std::string digits(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(static_cast<char>('1' + i % 9));
    }
    return text;
}

} // namespace

class DecoderTest : public QObject {
    Q_OBJECT

  private slots:
    void check_bytes_and_pairs() {
        const std::uint8_t zeros[4] = {0, 0, 0, 0};
        QCOMPARE(check_byte(zeros, 4), std::uint8_t{0xAA});
        const std::uint8_t digits123[3] = {'1', '2', '3'};
        QCOMPARE(check_byte(digits123, 3), std::uint8_t{0x9A});
        const std::uint8_t abc[3] = {'a', 'b', 'c'};
        QCOMPARE(check_byte(abc, 3), std::uint8_t{0xCA});

        ImageBuffer image = filled_image(0);
        write_pair(image, 140, 0x0C);
        QCOMPARE(image[140], std::uint8_t{0x0C});
        QCOMPARE(image[141], std::uint8_t{0xA6});
        QVERIFY(pair_valid(image, 140));
        image[141] = 0x0C;
        QVERIFY(!pair_valid(image, 140));
    }

    void erased_image_gives_the_defaults() {
        const Settings s = decode_all(filled_image(0xFF));
        for (const auto* number : {&s.sms_centre_number, &s.user_number_1, &s.user_number_2,
                                   &s.user_number_3, &s.user_number_4}) {
            QVERIFY(number->empty());
        }
        QCOMPARE(s.sms_mask, std::uint8_t{0xFF});
        QCOMPARE(s.ring_mask, std::uint8_t{0xFF});
        QCOMPARE(s.input_mask, std::uint8_t{0xFF});
        QCOMPARE(s.echo_on, std::uint8_t{1});
        QCOMPARE(s.output1_steady_on + s.output2_steady_on, 0);
        QCOMPARE(s.output1_timed_on + s.output2_timed_on, 0);
        QVERIFY(s.output1_seconds.empty() && s.output2_seconds.empty());
        QCOMPARE(s.daily_sms_limit, std::string("20"));
        QCOMPARE(s.test_message_on, std::uint8_t{0});
        QVERIFY(s.test_message_user.empty());
        QCOMPARE(s.balance_info_on + s.balance_count_on + s.balance_days_on, 0);
        QCOMPARE(s.balance_count_valid + s.balance_days_valid, 0);
        QVERIFY(s.balance_count.empty() && s.balance_days.empty());
        QVERIFY(s.balance_query_number.empty());
        for (std::size_t i = 0; i < text_slot_count; ++i) {
            QCOMPARE(text_setting(s, i), std::string(text_slots[i].default_text));
        }
        QCOMPARE(s.header_text, std::string("SYSTEM POWIADOMIENIA SMS: "));
        QCOMPARE(s.test_message_text, std::string("Test Systemu SMS"));
    }

    void phone_slot_lengths_and_checks() {
        ImageBuffer image = filled_image(0xFF);
        put_phone_slot(image, user_slot_1, "123", 0x9A);
        put_phone_slot(image, user_slot_2, "7", xor_check("7"));
        put_phone_slot(image, user_slot_3, digits(18), xor_check(digits(18)));
        put_phone_slot(image, user_slot_4, digits(17), xor_check(digits(17)));
        put_phone_slot(image, sms_centre_slot, "48601000310", xor_check("48601000310") ^ 1);
        Settings s = decode_all(image);
        QCOMPARE(s.user_number_1, std::string("123"));
        QVERIFY(s.user_number_2.empty()); // one digit
        QVERIFY(s.user_number_3.empty()); // eighteen digits
        QCOMPARE(s.user_number_4, digits(17));
        QVERIFY(s.sms_centre_number.empty()); // wrong check byte

        // Any non-digit ends the number, not only a zero byte.
        put_phone_slot(image, user_slot_2, "55", xor_check("55"));
        image[user_slot_2 + 2] = 'x';
        // Twenty digits have no end, whatever the last byte happens to be.
        put_bytes(image, user_slot_3, digits(20));
        s = decode_all(image);
        QCOMPARE(s.user_number_2, std::string("55"));
        QVERIFY(s.user_number_3.empty());
    }

    void text_slots_empty_default_and_scan_limit() {
        ImageBuffer image = filled_image(0xFF);
        put_text_slot(image, power_loss_slot, "abc");
        QCOMPARE(image[power_loss_slot + 101], std::uint8_t{0xCA});
        put_zeros(image, power_return_slot, 102);
        image[power_return_slot + 101] = 0xAA;         // empty text, right check
        put_zeros(image, input1_activation_slot, 102); // empty text, wrong check
        const std::string header51(51, 'H');
        const std::string header52(52, 'J');
        put_text_slot(image, header_slot, header51);
        put_text_slot(image, test_message_slot, std::string(100, 'T'));

        Settings s = decode_all(image);
        QCOMPARE(s.power_loss_text, std::string("abc"));
        QVERIFY(s.power_return_text.empty());
        QCOMPARE(s.input1_activation_text, std::string("Aktywacja wejscia nr 1"));
        QCOMPARE(s.header_text, header51);
        QCOMPARE(s.test_message_text, std::string(100, 'T'));

        put_text_slot(image, header_slot, header52);
        QCOMPARE(decode_all(image).header_text, header52);

        // Past 52 bytes the header scan stops: the check covers the first 52 only.
        put_text_slot(image, header_slot, std::string(53, 'K'));
        image[header_slot + 101] = xor_check(std::string(52, 'K'));
        QCOMPARE(decode_all(image).header_text, std::string(52, 'K'));
    }

    void digit_fields() {
        ImageBuffer image = filled_image(0xFF);
        put_bytes(image, daily_limit_field, std::string_view("20\0\0", 4));
        image[114] = 0xA8;
        put_bytes(image, balance_count_field, "150");
        image[173] = 0;
        image[174] = xor_check("150");
        put_zeros(image, balance_days_field, 5); // zeros with a zero check: no value
        Settings s = decode_all(image);
        QCOMPARE(s.daily_sms_limit, std::string("20"));
        QCOMPARE(s.balance_count_valid, std::uint8_t{1});
        QCOMPARE(s.balance_count, std::string("150"));
        QCOMPARE(s.balance_days_valid, std::uint8_t{0});
        QVERIFY(s.balance_days.empty());

        put_bytes(image, daily_limit_field, "9999");
        image[114] = xor_check("9999");
        QCOMPARE(decode_all(image).daily_sms_limit, std::string("9999"));
        image[114] ^= 0x01;
        QCOMPARE(decode_all(image).daily_sms_limit, std::string("20"));
    }

    void outputs_test_message_and_echo() {
        ImageBuffer image = filled_image(0xFF);
        put_bytes(image, output1_steady_field, std::string_view("\x01\x00\xAB", 3));
        put_bytes(image, output2_steady_field, std::string_view("\x02\x00\xA8", 3)); // not 1
        put_bytes(image, output1_timed_field, std::string_view("\x00\x00\x00\xAA", 4));
        put_bytes(image, output2_timed_field, std::string_view("\x01\x01\x2C", 3));
        image[138] = 0xAA ^ 0x01 ^ 0x01 ^ 0x2C;
        put_bytes(image, test_message_field, std::string_view("\x01\x03\xA8", 3));
        write_pair(image, echo_field, 0);
        Settings s = decode_all(image);
        QCOMPARE(s.output1_steady_on, std::uint8_t{1});
        QCOMPARE(s.output2_steady_on, std::uint8_t{0});
        QCOMPARE(s.output1_timed_on, std::uint8_t{0});
        QCOMPARE(s.output1_seconds, std::string("0")); // off, yet a valid time
        QCOMPARE(s.output2_timed_on, std::uint8_t{1});
        QCOMPARE(s.output2_seconds, std::string("300"));
        QCOMPARE(s.test_message_on, std::uint8_t{1});
        QCOMPARE(s.test_message_user, std::string("3"));
        QCOMPARE(s.echo_on, std::uint8_t{0});

        put_bytes(image, test_message_field, std::string_view("\x01\x05\xAE", 3)); // index 5
        image[echo_field + 1] = 0; // broken pair: ECHO falls back to on
        s = decode_all(image);
        QCOMPARE(s.test_message_on, std::uint8_t{0});
        QVERIFY(s.test_message_user.empty());
        QCOMPARE(s.echo_on, std::uint8_t{1});
    }

    void balance_query_number() {
        ImageBuffer image = filled_image(0xFF);
        put_zeros(image, balance_query_slot, 100);
        put_bytes(image, balance_query_slot, "*101#");
        image[275] = xor_check("*101#");
        write_pair(image, balance_query_length, 5);
        QCOMPARE(decode_all(image).balance_query_number, std::string("*101#"));

        write_pair(image, balance_query_length, 3); // the length decides, the check stays
        QCOMPARE(decode_all(image).balance_query_number, std::string("*10"));

        // The check covers all 100 bytes, also past the length.
        write_pair(image, balance_query_length, 5);
        image[balance_query_slot + 99] = 'z';
        QVERIFY(decode_all(image).balance_query_number.empty());
        image[balance_query_slot + 99] = 0;

        image[275] ^= 0x10;
        QVERIFY(decode_all(image).balance_query_number.empty());
        image[275] ^= 0x10;
        write_pair(image, balance_query_length, 0);
        QVERIFY(decode_all(image).balance_query_number.empty());
        image[balance_query_length] = 5; // pair no longer valid
        QVERIFY(decode_all(image).balance_query_number.empty());
    }

    void flags_without_check() {
        ImageBuffer image = filled_image(0xFF);
        image[balance_info_flag] = 1;
        image[balance_count_flag] = 2;
        image[balance_days_flag] = 1;
        const Settings s = decode_all(image);
        QCOMPARE(s.balance_info_on, std::uint8_t{1});
        QCOMPARE(s.balance_count_on, std::uint8_t{0});
        QCOMPARE(s.balance_days_on, std::uint8_t{1});
    }

    void decoding_keeps_nothing_of_an_earlier_image() {
        ImageBuffer rich = filled_image(0xFF);
        put_phone_slot(rich, user_slot_2, "600700800", xor_check("600700800"));
        put_text_slot(rich, input5_activation_slot, "Drzwi");
        put_bytes(rich, test_message_field, std::string_view("\x01\x02\xA9", 3));
        write_pair(rich, sms_mask_field, 0x05);

        ImageBuffer plain = filled_image(0x00);
        const Settings fresh = decode_all(plain);
        const Settings after_rich = decode_all(plain, decode_all(rich));
        QVERIFY(fresh == after_rich);
        QVERIFY(decode_all(rich) == decode_all(rich, fresh));
    }
};

QTEST_APPLESS_MAIN(DecoderTest)
#include "test_decoder.moc"
