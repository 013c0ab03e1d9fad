// Composition of the settings image: bytes, messages and their order, and the
// fields a failed composition leaves alone.

#include "image/decoder.h"
#include "image/encoder.h"
#include "image/layout.h"
#include "tests/image/image_bytes.h"

#include <QTest>

#include <string>
#include <vector>

using namespace gnc;
using gnc::test::filled_image;
using gnc::test::xor_check;

namespace {

struct Recorder {
    std::vector<std::string> messages;
    MessageSink sink() {
        return [this](const std::string& message) { messages.push_back(message); };
    }
};

EncoderInput sound_input() {
    EncoderInput in;
    ParametersControls& p = in.parameters;
    p.Edit7 = "48601000310";
    p.Edit8 = "600100200";
    p.Edit10 = "123";
    p.CheckBox17 = true;
    p.sms_mask_boxes = {true, false, true, false};
    p.ring_mask_boxes = {false, true, false, true};
    p.input_mask_boxes = {true, false, false, false, false, false, false, true};
    p.RadioGroup2 = 0;
    p.RadioGroup3 = 1;
    p.RadioGroup4 = 0;
    p.Edit5 = "300";
    p.RadioGroup5 = 1;
    p.Edit1 = "20";
    p.CheckBox20 = true;
    p.Edit4 = "50";
    p.CheckBox10 = true;
    p.Edit3 = "30";
    p.CheckBox9 = true;
    p.Edit2 = "*101#";
    MessagesControls& m = in.messages;
    m.CheckBox1 = true;
    m.Edit11 = "3";
    for (std::size_t i = 0; i < text_slot_count; ++i) {
        m.texts[i] = "Tekst " + std::to_string(i);
    }
    m.texts[0] = "ALARM: ";
    return in;
}

std::string slot_bytes(const ImageBuffer& image, std::size_t offset, std::size_t count) {
    return std::string(reinterpret_cast<const char*>(image.data() + offset), count);
}

bool all_bytes_are(const ImageBuffer& image, std::size_t from, std::size_t to, std::uint8_t b) {
    for (std::size_t i = from; i <= to; ++i) {
        if (image[i] != b) {
            return false;
        }
    }
    return true;
}

const char* const centre_message = "NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI CENTRUM SMS";
const char* const user3_message = "NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI UŻYTKOWNIKA NR 3";
const char* const header_message =
    "DEFINICJA KOMUNIKATU NAGŁÓWKA PRZEKRACZA 50 ZNAKÓW, ZMIEŃ USTAWIENIA";

} // namespace

class EncoderTest : public QObject {
    Q_OBJECT

  private slots:
    void sound_settings_round_trip_through_the_decoder() {
        ImageBuffer image = filled_image(0xFF);
        Settings settings;
        Recorder shown;
        const ComposeResult result = compose_image(image, settings, sound_input(), shown.sink());
        QVERIFY(shown.messages.empty());
        QVERIFY(!result.compose_error);
        QVERIFY(!result.close_messages_window);
        QVERIFY(!result.invalid_integer_text);
        QCOMPARE(settings.sms_mask, std::uint8_t{0x0A});
        QCOMPARE(settings.ring_mask, std::uint8_t{0x05});
        QCOMPARE(settings.input_mask, std::uint8_t{0x81});

        Settings d;
        decode_parameters(image, d);
        odczytaj_uzytkownikow(image, d);
        decode_texts(image, d);
        QCOMPARE(d.sms_centre_number, std::string("48601000310"));
        QCOMPARE(d.user_number_1, std::string("600100200"));
        QVERIFY(d.user_number_2.empty());
        QCOMPARE(d.user_number_3, std::string("123"));
        QCOMPARE(d.sms_mask, std::uint8_t{0x0A});
        QCOMPARE(d.ring_mask, std::uint8_t{0x05});
        QCOMPARE(d.input_mask, std::uint8_t{0x81});
        QCOMPARE(d.echo_on, std::uint8_t{1});
        QCOMPARE(d.output1_steady_on, std::uint8_t{1});
        QCOMPARE(d.output2_steady_on, std::uint8_t{0});
        QCOMPARE(d.output1_timed_on, std::uint8_t{1});
        QCOMPARE(d.output1_seconds, std::string("300"));
        QCOMPARE(d.output2_timed_on, std::uint8_t{0});
        QCOMPARE(d.output2_seconds, std::string("0"));
        QCOMPARE(d.daily_sms_limit, std::string("20"));
        QCOMPARE(d.test_message_on, std::uint8_t{1});
        QCOMPARE(d.test_message_user, std::string("3"));
        QCOMPARE(d.balance_info_on + d.balance_count_on + d.balance_days_on, 3);
        QCOMPARE(d.balance_count, std::string("50"));
        QCOMPARE(d.balance_days, std::string("30"));
        QCOMPARE(d.balance_query_number, std::string("*101#"));
        QCOMPARE(d.header_text, std::string("ALARM: "));
        QCOMPARE(d.test_message_text, std::string("Tekst 14"));
    }

    void byte_vectors() {
        ImageBuffer image = filled_image(0xFF);
        Settings settings;
        EncoderInput in = sound_input();
        in.messages.texts[1] = "abc";
        Recorder shown;
        compose_image(image, settings, in, shown.sink());

        QCOMPARE(slot_bytes(image, user_slot_3, 20),
                 std::string("123") + std::string(16, '\0') + "\x9A");
        QCOMPARE(slot_bytes(image, power_loss_slot, 102),
                 std::string("abc") + std::string(98, '\0') + "\xCA");
        QCOMPARE(slot_bytes(image, daily_limit_field, 5), std::string("20\0\0\xA8", 5));
        // Empty user numbers: the whole slot is zero, check byte included.
        QVERIFY(all_bytes_are(image, user_slot_2, user_slot_2 + 19, 0));
        QCOMPARE(slot_bytes(image, output1_steady_field, 5), std::string("\x01\x00\xAB\0\0", 5));
        QCOMPARE(slot_bytes(image, output2_steady_field, 5), std::string("\0\0\xAA\0\0", 5));
        QCOMPARE(slot_bytes(image, output1_timed_field, 4),
                 std::string("\x01\x01\x2C", 3) + char(0xAA ^ 0x01 ^ 0x01 ^ 0x2C));
        QCOMPARE(slot_bytes(image, output2_timed_field, 4), std::string("\0\0\0\xAA", 4));
        QCOMPARE(slot_bytes(image, test_message_field, 3), std::string("\x01\x03\xA8", 3));
        QCOMPARE(slot_bytes(image, sms_mask_field, 2), std::string("\x0A\xA0", 2));
        QCOMPARE(slot_bytes(image, echo_field, 2), std::string("\x01\xAB", 2));
        QCOMPARE(slot_bytes(image, balance_query_length, 2), std::string("\x05\xAF", 2));
        QCOMPARE(image[balance_query_check], xor_check("*101#"));
        QCOMPARE(image[balance_info_flag], std::uint8_t{1});
        QCOMPARE(image[balance_count_flag], std::uint8_t{1});
        QCOMPARE(image[balance_days_flag], std::uint8_t{1});

        // Seconds take 8 bits each of value div 256 and value mod 256.
        in.parameters.Edit5 = "70000";
        compose_image(image, settings, in, shown.sink());
        QCOMPARE(image[121], std::uint8_t{70000 / 256 % 256});
        QCOMPARE(image[122], std::uint8_t{70000 % 256});
        in.parameters.Edit5 = "-1"; // div and mod truncate toward zero
        compose_image(image, settings, in, shown.sink());
        QCOMPARE(slot_bytes(image, output1_timed_field, 3), std::string("\x01\x00\xFF", 3));
    }

    void bytes_that_are_not_fields_stay_as_they_were() {
        ImageBuffer image = filled_image(0x5A);
        Settings settings;
        Recorder shown;
        EncoderInput in = sound_input();
        in.parameters.Edit2.clear(); // no query text: its check and length pair stay too
        compose_image(image, settings, in, shown.sink());
        const std::vector<std::pair<std::size_t, std::size_t>> gaps{
            {115, 119}, {124, 129}, {133, 134},   {139, 139},   {142, 144},
            {147, 154}, {157, 159}, {162, 164},   {275, 304},   {306, 309},
            {311, 314}, {316, 511}, {1022, 1023}, {1534, 1535}, {2046, 4095},
        };
        for (const auto& [from, to] : gaps) {
            QVERIFY2(all_bytes_are(image, from, to, 0x5A), qPrintable(QString::number(from)));
        }
        QVERIFY(all_bytes_are(image, balance_query_slot, balance_query_slot + 99, 0));
    }

    void several_bad_values_give_their_messages_in_step_order() {
        ImageBuffer image = filled_image(0xFF);
        Settings settings;
        EncoderInput in = sound_input();
        in.parameters.Edit7.clear();
        in.parameters.Edit10 = std::string(19, '9');
        in.messages.texts[0] = std::string(51, 'N');
        Recorder shown;
        const ComposeResult result = compose_image(image, settings, in, shown.sink());
        const std::vector<std::string> expected{centre_message, user3_message, header_message};
        QCOMPARE(shown.messages, expected);
        QVERIFY(result.compose_error);
        QVERIFY(result.close_messages_window); // the SMS-centre problem asks for it
        QVERIFY(all_bytes_are(image, sms_centre_slot, sms_centre_slot + 19, 0));
        // The rejected header leaves an empty slot with check 0xAA.
        QVERIFY(all_bytes_are(image, header_slot, header_slot + 100, 0));
        QCOMPARE(image[header_slot + 101], std::uint8_t{0xAA});
    }

    void phone_number_lengths() {
        ImageBuffer image = filled_image(0xFF);
        Settings settings;
        EncoderInput in = sound_input();
        in.parameters.Edit8 = std::string(18, '1'); // stored without a message
        in.parameters.Edit9 = std::string(19, '2');
        in.parameters.Edit11 = std::string(30, '4'); // too long to fit: not stored
        in.parameters.Edit7 = std::string(17, '7');
        Recorder shown;
        const ComposeResult result = compose_image(image, settings, in, shown.sink());
        const std::vector<std::string> expected{
            "NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI UŻYTKOWNIKA NR 2",
            "NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI UŻYTKOWNIKA NR 4"};
        QCOMPARE(shown.messages, expected);
        QVERIFY(result.compose_error);
        QVERIFY(!result.close_messages_window);
        QCOMPARE(slot_bytes(image, user_slot_1, 18), std::string(18, '1'));
        QCOMPARE(image[user_slot_1 + 19], xor_check(std::string(18, '1')));
        QVERIFY(all_bytes_are(image, user_slot_4, user_slot_4 + 19, 0));
        QCOMPARE(image[100], std::uint8_t{1}); // the next field is intact

        Settings decoded;
        odczytaj_uzytkownikow(image, decoded);
        QCOMPARE(decoded.sms_centre_number, std::string(17, '7'));
        QVERIFY(decoded.user_number_1.empty()); // eighteen digits never decode

        in.parameters.Edit7 = std::string(18, '7');
        shown.messages.clear();
        compose_image(image, settings, in, shown.sink());
        QCOMPARE(shown.messages.front(), std::string(centre_message));
    }

    void a_seconds_text_that_is_no_integer_stops_the_composition() {
        ImageBuffer image = filled_image(0x33);
        Settings settings;
        EncoderInput in = sound_input();
        in.parameters.Edit7.clear(); // reported before the stop
        in.parameters.Edit5.clear();
        in.messages.texts[0] = std::string(60, 'x'); // would be reported after it
        Recorder shown;
        ComposeResult result = compose_image(image, settings, in, shown.sink());
        QCOMPARE(result.invalid_integer_text, std::optional<std::string>(""));
        QCOMPARE(shown.messages, std::vector<std::string>{centre_message});
        QCOMPARE(invalid_integer_message(""), std::string("'' is not a valid integer value"));
        // Earlier steps composed, this field and every later one untouched.
        QCOMPARE(image[output1_steady_field], std::uint8_t{1});
        QCOMPARE(image[sms_mask_field], std::uint8_t{0x0A});
        QVERIFY(all_bytes_are(image, output1_timed_field, output1_timed_field + 3, 0x33));
        QVERIFY(all_bytes_are(image, output2_timed_field, output2_timed_field + 3, 0x33));
        QVERIFY(all_bytes_are(image, 110, 114, 0x33));
        QVERIFY(all_bytes_are(image, 130, 132, 0x33));
        QVERIFY(all_bytes_are(image, 165, 175, 0x33));
        QVERIFY(all_bytes_are(image, 305, 305, 0x33));
        QVERIFY(all_bytes_are(image, 512, 2047, 0x33));

        // Output 2 failing: output 1 is composed first.
        in.parameters.Edit5 = "10";
        in.parameters.RadioGroup5 = 0;
        in.parameters.Edit12 = "1 0";
        result = compose_image(image, settings, in, shown.sink());
        QCOMPARE(result.invalid_integer_text, std::optional<std::string>("1 0"));
        QCOMPARE(image[output1_timed_field + 2], std::uint8_t{10});
        QVERIFY(all_bytes_are(image, output2_timed_field, output2_timed_field + 3, 0x33));

        // A seconds box that is not switched on is never converted.
        in.parameters.RadioGroup5 = 1;
        QVERIFY(!compose_image(image, settings, in, shown.sink()).invalid_integer_text);
    }

    void invalid_integer_message_shows_the_text_in_utf8() {
        QCOMPARE(invalid_integer_message("12a"), std::string("'12a' is not a valid integer value"));
        QCOMPARE(invalid_integer_message("\xB3\xF3"), // CP1250 "łó"
                 std::string("'łó' is not a valid integer value"));
    }

    void test_message_index() {
        ImageBuffer image = filled_image(0x77);
        Settings settings;
        EncoderInput in = sound_input();
        Recorder shown;

        in.messages.Edit11 = "7"; // out of range: cleared, check left alone, no message
        compose_image(image, settings, in, shown.sink());
        QCOMPARE(slot_bytes(image, test_message_field, 3), std::string("\0\0\x77", 3));
        QVERIFY(shown.messages.empty());

        in.messages.CheckBox1 = false; // unticked: the same
        compose_image(image, settings, in, shown.sink());
        QCOMPARE(slot_bytes(image, test_message_field, 3), std::string("\0\0\x77", 3));

        in.messages.CheckBox1 = true;
        in.messages.Edit11 = "";
        const ComposeResult result = compose_image(image, settings, in, shown.sink());
        QCOMPARE(shown.messages,
                 std::vector<std::string>{"PODANO NIEPRAWIDŁOWY INDEX UŻYTKOWNIKA"});
        QVERIFY(result.compose_error);
        QVERIFY(!result.close_messages_window);
    }

    void balance_report_values() {
        struct Case {
            bool count_on;
            std::string count;
            bool days_on;
            std::string days;
            std::vector<std::string> messages;
            std::string count_bytes;
        };
        const std::string empty_count =
            "Opcja iloćiowej informacji o stanie konta jest zaznaczona ale nie podano wartości. "
            "Skoryguj ustawienia";
        const std::string below_ten = "Minimalna wartość ilościowego informowania o stanie konta "
                                      "wynosi 10. Skoryguj ustawienia";
        const std::string not_integer = "Ilościowe informowanie o stanie konta powinno być liczbą "
                                        "w zakresie od 10 do 9999. Skoryguj ustawienia";
        const std::string empty_days = "Opcja czasowego informowania o stanie konta jest "
                                       "zaznaczona ale nie podano wartości. Skoryguj ustawienia";
        const std::vector<Case> cases{
            {true, "", false, "", {empty_count}, std::string(5, '\0')},
            {true, "5", false, "", {below_ten}, std::string("5\0\0\0", 4) + char(0xAA ^ '5')},
            {true, "-20", false, "", {below_ten}, std::string("-20\0", 4) + char(xor_check("-20"))},
            {true,
             "1x",
             true,
             "",
             {not_integer, empty_days},
             std::string("1x\0\0", 4) + char(xor_check("1x"))},
            {false, "5", true, "7", {}, std::string(5, '\0')},
        };
        for (const Case& c : cases) {
            ImageBuffer image = filled_image(0xFF);
            Settings settings;
            EncoderInput in = sound_input();
            in.parameters.CheckBox20 = c.count_on;
            in.parameters.Edit4 = c.count;
            in.parameters.CheckBox10 = c.days_on;
            in.parameters.Edit3 = c.days;
            Recorder shown;
            const ComposeResult result = compose_image(image, settings, in, shown.sink());
            QCOMPARE(shown.messages, c.messages);
            QCOMPARE(result.compose_error, !c.messages.empty());
            QCOMPARE(result.close_messages_window, !c.messages.empty());
            QCOMPARE(slot_bytes(image, balance_count_field, 5), c.count_bytes);
        }
    }

    void balance_query_text_lengths() {
        ImageBuffer image = filled_image(0x44);
        Settings settings;
        EncoderInput in = sound_input();
        Recorder shown;
        in.parameters.Edit2 = std::string(21, '8'); // too long: slot cleared, rest untouched
        compose_image(image, settings, in, shown.sink());
        QVERIFY(all_bytes_are(image, balance_query_slot, balance_query_slot + 99, 0));
        QCOMPARE(slot_bytes(image, 275, 1), std::string("\x44"));
        QCOMPARE(slot_bytes(image, 300, 2), std::string("\x44\x44"));

        in.parameters.Edit2 = std::string(20, '8');
        compose_image(image, settings, in, shown.sink());
        QCOMPARE(slot_bytes(image, balance_query_slot, 21), std::string(20, '8') + '\0');
        QCOMPARE(image[275], xor_check(std::string(20, '8')));
        QCOMPARE(slot_bytes(image, 300, 2), std::string("\x14\xBE"));
        QVERIFY(shown.messages.empty());
    }

    void texts_alone() {
        ImageBuffer image = filled_image(0x66);
        MessagesControls messages = sound_input().messages;
        messages.texts[0] = std::string(50, 'h'); // the longest header stored
        messages.texts[14] = std::string(101, 't');
        Recorder shown;
        QVERIFY(compose_texts(image, messages, shown.sink()));
        QCOMPARE(shown.messages,
                 std::vector<std::string>{
                     "DEFINICJA KOMUNIKATU ALARMOWEGO NR 14 PRZEKRACZA 100 ZNAKÓW "});
        QCOMPARE(slot_bytes(image, header_slot, 50), std::string(50, 'h'));
        QVERIFY(all_bytes_are(image, test_message_slot, test_message_slot + 100, 0));
        QCOMPARE(image[test_message_slot + 101], std::uint8_t{0xAA});
        QVERIFY(all_bytes_are(image, 0, 511, 0x66)); // page 0 is not touched

        messages.texts[14] = std::string(100, 't');
        shown.messages.clear();
        QVERIFY(!compose_texts(image, messages, shown.sink()));
        QVERIFY(shown.messages.empty());
    }
};

QTEST_APPLESS_MAIN(EncoderTest)
#include "test_encoder.moc"
