// The widgets' CP1250 edge against the toolkit's ICU converter: every code
// point converts the same way, so templates and devices see the same bytes
// whichever converter a platform has.

#include "windows/text.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace gnc;

namespace {

// The reference: ICU's one-byte result, or the substitute on any error.
char reference_byte(const QString& character) {
    QStringEncoder encoder("windows-1250");
    const QByteArray bytes = encoder.encode(character);
    return encoder.hasError() || bytes.size() != 1 ? char(0x1A) : bytes.at(0);
}

} // namespace

class TextEdgeTest : public QObject {
    Q_OBJECT

  private slots:
    void every_byte_shows_as_icu_shows_it() {
        QStringDecoder reference("windows-1250");
        QVERIFY(reference.isValid());
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            QCOMPARE(from_cp1250(std::string(1, c)), reference.decode(QByteArrayView(&c, 1)));
            // Unedited text comes back as the same byte, the unassigned ones too.
            QCOMPARE(to_cp1250(from_cp1250(std::string(1, c))), std::string(1, c));
        }
    }

    void every_code_point_encodes_as_icu_encodes_it() {
        int held = 0;
        for (char32_t code = 0; code < 0x10000; ++code) {
            if (code >= 0xD800 && code < 0xE000) {
                continue;
            }
            const QString character(QChar(static_cast<char16_t>(code)));
            const std::string ours = to_cp1250(character);
            QCOMPARE(ours.size(), std::size_t{1});
            QCOMPARE(ours.at(0), reference_byte(character));
            QCOMPARE(fits_cp1250(character), reference_byte(character) != 0x1A || code == 0x1A);
            held += fits_cp1250(character) ? 1 : 0;
        }
        QCOMPARE(held, 256);
    }

    void characters_beyond_the_code_page_give_one_substitute_each() {
        const QString text = QString::fromUtf8("a\xF0\x9F\x98\x80ż") + QChar(0xD800);
        QCOMPARE(to_cp1250(text), std::string("a\x1A\xBF\x1A"));
        QVERIFY(!fits_cp1250(text));
        QCOMPARE(to_cp1250(QString::fromUtf8("Łódź, żółć")),
                 std::string("\xA3\xF3"
                             "d\x9F, \xBF\xF3\xB3\xE6"));
    }
};

QTEST_APPLESS_MAIN(TextEdgeTest)
#include "test_text.moc"
