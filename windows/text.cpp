#include "windows/text.h"

#include "image/cp1250.h"

#include <QList>

namespace gnc {

namespace {

constexpr char substitute = 0x1A;

// The code page's own table, not the toolkit's converters: those need ICU
// for "windows-1250", which the Windows build of the toolkit lacks.
int byte_for(QStringView character) {
    if (character.size() != 1 || character.at(0).isSurrogate()) {
        return -1;
    }
    return cp1250_byte_for(character.at(0).unicode());
}

} // namespace

std::string to_cp1250(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    // Character by character, so that an unmappable character (a surrogate
    // pair included) gives exactly one substitute byte.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const int byte = byte_for(QStringView(text).mid(i, width));
        bytes.push_back(byte < 0 ? substitute : static_cast<char>(byte));
        i += width;
    }
    return bytes;
}

QString from_cp1250(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        text.append(
            QChar(static_cast<char16_t>(cp1250_box_code_point(static_cast<unsigned char>(byte)))));
    }
    return text;
}

bool fits_cp1250(const QString& text) {
    for (const QChar character : text) {
        if (byte_for(QStringView(&character, 1)) < 0) {
            return false;
        }
    }
    return true;
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
