#include "windows/text.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

namespace gnc {

namespace {
constexpr char substitute = 0x1A;
}

std::string to_cp1250(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    // Character by character, so that an unmappable character (a surrogate
    // pair included) gives exactly one substitute byte.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder encoder("windows-1250");
        const QByteArray one = encoder.encode(text.mid(i, width));
        if (encoder.hasError() || one.size() != 1)
            bytes.push_back(substitute);
        else
            bytes.push_back(one.at(0));
        i += width;
    }
    return bytes;
}

QString from_cp1250(const std::string& bytes) {
    QStringDecoder decoder("windows-1250");
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool fits_cp1250(const QString& text) {
    QStringEncoder encoder("windows-1250");
    const QByteArray all = encoder.encode(text);
    return !encoder.hasError();
}

namespace {

// Calls `each` with every character of `text` (a surrogate pair as one).
template <typename Each> void for_each_character(const QString& text, Each each) {
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const qsizetype width = pair ? 2 : 1;
        each(QStringView(text).mid(i, width));
        i += width;
    }
}

} // namespace

QString without_format_characters(const QString& text) {
    QString kept;
    for_each_character(text, [&](QStringView character) {
        const char32_t code = character.toUcs4().value(0);
        if (QChar::category(code) != QChar::Other_Format)
            kept.append(character);
    });
    return kept;
}

QString with_unholdable_marked(const QString& text, QChar mark) {
    QString marked;
    for_each_character(text, [&](QStringView character) {
        if (fits_cp1250(character.toString()))
            marked.append(character);
        else
            marked.append(mark);
    });
    return marked;
}

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace gnc
