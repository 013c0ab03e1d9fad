// Reading typed numbers, and CP1250 bytes turned into UTF-8.

#include "image/cp1250.h"
#include "image/number_text.h"

#include <QStringDecoder>
#include <QTest>

using namespace gnc;

class NumberTextTest : public QObject {
    Q_OBJECT

  private slots:
    void integers() {
        QCOMPARE(read_integer("0"), std::optional<std::int32_t>(0));
        QCOMPARE(read_integer("0300"), std::optional<std::int32_t>(300));
        QCOMPARE(read_integer("+15"), std::optional<std::int32_t>(15));
        QCOMPARE(read_integer("-15"), std::optional<std::int32_t>(-15));
        QCOMPARE(read_integer("2147483647"), std::optional<std::int32_t>(2147483647));
        QCOMPARE(read_integer("-2147483648"),
                 std::optional<std::int32_t>(std::numeric_limits<std::int32_t>::min()));
        for (const char* bad : {"", "+", "-", " 1", "1 ", "1 2", "12a", "0x1F", "$1F", "1.0", "1e3",
                                "--1", "2147483648", "-2147483649", "99999999999999999999999"}) {
            QVERIFY2(!read_integer(bad), bad);
        }
    }

    void phone_numbers() {
        QVERIFY(is_phone_number("0"));
        QVERIFY(is_phone_number("48601000310"));
        for (const char* bad : {"", "+48601", "-1", "1.5", "1e5", " 12", "12 ", "12a"}) {
            QVERIFY2(!is_phone_number(bad), bad);
        }
    }

    void cp1250_matches_the_platform_decoder() {
        QCOMPARE(cp1250_to_utf8("\xA3\xF3\xB3\xE6 \x8C\x9C"), std::string("Łółć Śś"));
        QStringDecoder reference("windows-1250");
        if (!reference.isValid()) {
            QSKIP("this build of the toolkit has no windows-1250 converter (no ICU) to compare with");
        }
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            const std::string ours = cp1250_to_utf8(std::string_view(&c, 1));
            const QString theirs = reference.decode(QByteArrayView(&c, 1));
            if (cp1250_code_point(static_cast<unsigned char>(byte)) == 0xFFFD) {
                continue; // unassigned: decoders differ in what they make of it
            }
            QCOMPARE(QString::fromStdString(ours), theirs);
        }
    }
};

QTEST_APPLESS_MAIN(NumberTextTest)
#include "test_number_text.moc"
