#pragma once
// Widgets hold QString; the settings values and the image hold CP1250 bytes.
// These convert at the widgets' edge.

#include <QString>

#include <string>

namespace gnc {

// A character that CP1250 cannot hold becomes 0x1A (one byte per character).
std::string to_cp1250(const QString& text);
QString from_cp1250(const std::string& bytes);
// True when every character of `text` has a CP1250 code.
bool fits_cp1250(const QString& text);
// `text` without the invisible format characters (Unicode category Cf, such
// as the direction marks phones put around a copied number).
QString without_format_characters(const QString& text);
// `text` with every character that CP1250 cannot hold replaced by `mark`.
QString with_unholdable_marked(const QString& text, QChar mark);

QString qs(const char* utf8); // UTF-8 literal to QString

} // namespace gnc
