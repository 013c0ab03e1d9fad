// The demo device's template: composed by the project's own encoder without
// any message, committed as it is composed now, and holding the settings a
// newcomer should see in the windows.

#include "editors/operator_presets.h"
#include "image/decoder.h"
#include "image/template_file.h"
#include "tools/demo/demo_settings.h"

#include <QTest>

#include <string>
#include <vector>

using namespace gnc;

namespace {

Settings decode_all(const ImageBuffer& image) {
    Settings settings;
    decode_parameters(image, settings);
    odczytaj_uzytkownikow(image, settings);
    decode_texts(image, settings);
    return settings;
}

std::vector<std::string> texts_of(const Settings& s) {
    return {s.header_text,
            s.power_loss_text,
            s.power_return_text,
            s.input1_activation_text,
            s.input1_deactivation_text,
            s.input2_activation_text,
            s.input2_deactivation_text,
            s.input3_activation_text,
            s.input3_deactivation_text,
            s.input4_activation_text,
            s.input5_activation_text,
            s.input6_activation_text,
            s.input7_activation_text,
            s.input8_activation_text,
            s.test_message_text};
}

ImageBuffer erased_image() {
    ImageBuffer image;
    image.fill(0xFF);
    return image;
}

} // namespace

class TestDemoSample : public QObject {
    Q_OBJECT

  private slots:
    void composes_without_any_message();
    void committed_file_is_current();
    void decodes_to_filled_settings();
    void texts_pass_the_messages_window_rules();
};

void TestDemoSample::composes_without_any_message() {
    std::vector<std::string> messages;
    demo::compose_demo_image(messages);
    QVERIFY2(messages.empty(), messages.empty() ? "" : messages.front().c_str());
}

void TestDemoSample::committed_file_is_current() {
    ImageBuffer committed = erased_image();
    QVERIFY(load_template(DEMO_TEMPLATE, committed));
    std::vector<std::string> messages;
    QVERIFY2(committed == demo::compose_demo_image(messages),
             "resources/demo/demo.sbn is out of date: "
             "cmake --build build --target regenerate-demo");
}

void TestDemoSample::decodes_to_filled_settings() {
    std::vector<std::string> messages;
    const Settings s = decode_all(demo::compose_demo_image(messages));
    const Settings erased = decode_all(erased_image());

    // A preset operator, with that operator's own balance query, so that the
    // parameters window shows the same code after choosing the operator.
    const OperatorItem item = operator_of(s.sms_centre_number);
    QVERIFY(item != other_item);
    QCOMPARE(s.balance_query_number, std::string(operator_presets[item].balance_query));
    QCOMPARE(s.balance_info_on, std::uint8_t(1));

    QVERIFY(!s.user_number_1.empty());
    QVERIFY(!s.user_number_2.empty());
    QVERIFY(s.user_number_3.empty() && s.user_number_4.empty());
    // Masks name defined users only, and differ from an erased device's.
    QCOMPARE(s.sms_mask & 0x03, 0);
    QCOMPARE(s.ring_mask & 0x03, 0);
    QVERIFY(s.sms_mask != erased.sms_mask && s.ring_mask != erased.ring_mask);
    QVERIFY(s.input_mask != erased.input_mask);

    QCOMPARE(s.output1_timed_on, std::uint8_t(1));
    QCOMPARE(s.output1_seconds, std::string("45"));
    QCOMPARE(s.output2_steady_on, std::uint8_t(1));
    QCOMPARE(s.balance_count, std::string("100"));
    QCOMPARE(s.balance_days, std::string("7"));
    QCOMPARE(s.test_message_on, std::uint8_t(1));
    QCOMPARE(s.test_message_user, std::string("1"));

    const auto texts = texts_of(s);
    const auto defaults = texts_of(erased);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        QVERIFY2(!texts[i].empty() && texts[i] != defaults[i], texts[i].c_str());
    }
}

// A character above 125 would be refused as soon as the user edits the field
// again; the demo must not start the user off with such a text.
void TestDemoSample::texts_pass_the_messages_window_rules() {
    std::vector<std::string> messages;
    const auto texts = texts_of(decode_all(demo::compose_demo_image(messages)));
    for (const std::string& text : texts) {
        for (const char c : text) {
            QVERIFY2(static_cast<unsigned char>(c) <= 125, text.c_str());
        }
    }
    QVERIFY(texts.front().size() <= 50);
}

QTEST_APPLESS_MAIN(TestDemoSample)
#include "test_demo_sample.moc"
