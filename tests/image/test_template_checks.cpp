// Checks of a template before programming, and the naming of image bytes by
// the inspector's field names.

#include "image/check.h"
#include "image/decoder.h"
#include "image/layout.h"
#include "image/template_checks.h"
#include "tests/image/image_bytes.h"
#include "tests/image/sound_template.h"

#include <QTest>

using namespace gnc;
using Names = std::vector<std::string>;

namespace {

Settings decoded(const ImageBuffer& image) {
    Settings settings;
    decode_parameters(image, settings);
    odczytaj_uzytkownikow(image, settings);
    decode_texts(image, settings);
    return settings;
}

} // namespace

class TestTemplateChecks : public QObject {
    Q_OBJECT
  private slots:
    void a_composed_template_passes() {
        const ImageBuffer image = test::sound_template();
        QCOMPARE(fields_failing_checks(image), Names{});
        QCOMPARE(encoder_messages(image, decoded(image)), Names{});

        // Empty numbers, an unticked test message and balance options that
        // are off are composed as zero bytes, which fail a check byte but are
        // what the windows produce.
        EncoderInput sparse = test::sound_controls();
        sparse.parameters.Edit8.clear();
        sparse.parameters.Edit9.clear();
        sparse.parameters.CheckBox20 = false;
        sparse.messages.CheckBox1 = false;
        const ImageBuffer sparse_image = test::sound_template(sparse);
        QCOMPARE(fields_failing_checks(sparse_image), Names{});
        QCOMPARE(encoder_messages(sparse_image, decoded(sparse_image)), Names{});
    }

    void fields_that_would_decode_as_fallbacks_are_named() {
        QCOMPARE(fields_failing_checks(test::filled_image(0xFF)).size(), std::size_t{33});

        ImageBuffer image = test::sound_template();
        image[header_slot + 1] ^= 0x01;    // text without a matching check
        image[sms_mask_field + 1] ^= 0x01; // broken complement pair
        image[user_slot_2 + phone_slot_check] ^= 0x01;
        image[output1_timed_field + 2] ^= 0x01;
        QCOMPARE(fields_failing_checks(image),
                 (Names{"user_number_2", "output1_timed_on, output1_seconds", "sms_mask",
                        "header_text"}));

        // A one-digit SMS centre has a good check byte but decodes as no number.
        ImageBuffer short_number = test::sound_template();
        test::put_zeros(short_number, sms_centre_slot, phone_slot_size);
        short_number[sms_centre_slot] = '7';
        short_number[sms_centre_slot + phone_slot_check] = test::xor_check("7");
        QCOMPARE(fields_failing_checks(short_number), Names{"sms_centre_number"});
    }

    void settings_the_encoder_reports_are_named_by_its_messages() {
        // No SMS centre: the windows refuse to compose.
        const ImageBuffer no_centre = test::sound_template(test::sound_controls(""));
        QCOMPARE(fields_failing_checks(no_centre), Names{});
        const Names messages = encoder_messages(no_centre, decoded(no_centre));
        QCOMPARE(messages, Names{"NIEPRAWIDŁOWA LICZBA ZNAKÓW W DEFINICJI CENTRUM SMS"});

        // A quantity-based balance report switched on (a flag without a
        // check) but without its value.
        ImageBuffer no_count = test::sound_template();
        test::put_zeros(no_count, balance_count_field, digit_field_width + 1);
        QCOMPARE(fields_failing_checks(no_count), Names{});
        QCOMPARE(encoder_messages(no_count, decoded(no_count)).size(), std::size_t{1});
        QVERIFY(encoder_messages(no_count, decoded(no_count))[0].find("nie podano wartości") !=
                std::string::npos);
    }

    void differing_bytes_are_named_by_their_fields() {
        const ImageBuffer sent = test::sound_template();
        QCOMPARE(fields_differing(sent, sent), Names{});
        ImageBuffer stored = sent;
        stored[0] ^= 0x01;
        stored[1] ^= 0x01;                    // same field, named once
        stored[balance_query_length] ^= 0x01; // the balance query's second range
        stored[316] ^= 0x01;                  // a gap of page 0
        stored[test_message_slot + 101] ^= 0x01;
        stored[3000] ^= 0x01; // the second half is never sent
        QCOMPARE(fields_differing(sent, stored), (Names{"sms_centre_number", "balance_query_number",
                                                        "bajt 316", "test_message_text"}));
    }
};

QTEST_APPLESS_MAIN(TestTemplateChecks)
#include "test_template_checks.moc"
