// Template inspector: the report of any template is valid UTF-8, the --json
// report is one strict JSON object holding every value, and the plain
// report's escaping can be undone to give back the exact bytes of each text.
//
// Input: the template's bytes (up to 4096; a shorter file reads as 0x1A
// beyond its end). The same bytes also serve as raw texts with every byte
// value, zero included, which decoded templates never hold.

#include "image/cp1250.h"
#include "image/decoder.h"
#include "tests/fuzz/fuzz_support.h"
#include "tools/template/settings_report.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

using namespace gnc;

namespace {

// ---- UTF-8 ------------------------------------------------------------------

// Decodes one code point at `pos`; nothing for an invalid sequence (overlong
// forms, surrogates and values above U+10FFFF included).
std::optional<char32_t> next_code_point(const std::string& s, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (pos + length > s.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = cp << 6 | (byte(pos + i) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += length;
    return cp;
}

bool valid_utf8(const std::string& s) {
    for (std::size_t pos = 0; pos < s.size();) {
        if (!next_code_point(s, pos)) {
            return false;
        }
    }
    return true;
}

// ---- Plain report -------------------------------------------------------------

// CP1250 byte of each code point the conversion gives.
std::map<char32_t, unsigned char> cp1250_bytes() {
    std::map<char32_t, unsigned char> bytes;
    for (unsigned b = 0; b < 256; ++b) {
        const char32_t cp = cp1250_code_point(static_cast<unsigned char>(b));
        if (cp != 0xFFFD) {
            FUZZ_CHECK(bytes.emplace(cp, static_cast<unsigned char>(b)).second);
        }
    }
    return bytes;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Undoes the plain report's escaping: "\\" is a backslash, "\xNN" the byte
// NN, any other character the CP1250 byte that shows it.
std::optional<std::string> unescape_plain(const std::string& value) {
    static const auto bytes = cp1250_bytes();
    std::string out;
    for (std::size_t pos = 0; pos < value.size();) {
        if (value[pos] == '\\') {
            if (value.compare(pos, 2, "\\\\") == 0) {
                out.push_back('\\');
                pos += 2;
                continue;
            }
            if (pos + 4 > value.size() || value[pos + 1] != 'x' || hex_digit(value[pos + 2]) < 0 ||
                hex_digit(value[pos + 3]) < 0) {
                return std::nullopt;
            }
            out.push_back(
                static_cast<char>(hex_digit(value[pos + 2]) * 16 + hex_digit(value[pos + 3])));
            pos += 4;
            continue;
        }
        const auto cp = next_code_point(value, pos);
        if (!cp || cp < 0x20 || *cp == 0x7F) {
            return std::nullopt; // control characters are always escaped
        }
        const auto found = bytes.find(*cp);
        if (found == bytes.end()) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(found->second));
    }
    return out;
}

std::string number_text(const ReportEntry& e) {
    return std::to_string(e.number);
}

void check_plain(const std::vector<ReportEntry>& entries) {
    const std::string report = plain_report(entries);
    FUZZ_CHECK(valid_utf8(report));
    std::size_t pos = 0;
    for (const ReportEntry& e : entries) {
        const std::size_t end = report.find('\n', pos);
        FUZZ_CHECK(end != std::string::npos);
        const std::string line = report.substr(pos, end - pos);
        const std::string prefix = std::string(e.name) + ": ";
        FUZZ_CHECK(line.compare(0, prefix.size(), prefix) == 0);
        const std::string value = line.substr(prefix.size());
        if (e.is_text) {
            FUZZ_CHECK(unescape_plain(value) == e.text);
        } else {
            FUZZ_CHECK(value == number_text(e));
        }
        pos = end + 1;
    }
    FUZZ_CHECK(pos == report.size());
}

// ---- JSON ---------------------------------------------------------------------

// A strict reader of the JSON grammar, enough for one object whose values
// are strings and non-negative integers; anything else fails it.
class JsonReader {
  public:
    explicit JsonReader(const std::string& text) : s_(text) {}

    std::optional<std::vector<std::pair<std::string, std::string>>> object() {
        std::vector<std::pair<std::string, std::string>> members;
        skip_blanks();
        if (!take('{')) {
            return std::nullopt;
        }
        skip_blanks();
        if (!take('}')) {
            do {
                skip_blanks();
                auto name = string();
                skip_blanks();
                if (!name || !take(':')) {
                    return std::nullopt;
                }
                skip_blanks();
                auto value = peek() == '"' ? string() : integer();
                if (!value) {
                    return std::nullopt;
                }
                members.emplace_back(*name, *value);
                skip_blanks();
            } while (take(','));
            if (!take('}')) {
                return std::nullopt;
            }
        }
        skip_blanks();
        if (pos_ != s_.size()) {
            return std::nullopt;
        }
        return members;
    }

  private:
    char peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }
    bool take(char c) {
        if (peek() != c || pos_ >= s_.size()) {
            return false;
        }
        ++pos_;
        return true;
    }
    void skip_blanks() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\n' || s_[pos_] == '\r' || s_[pos_] == '\t')) {
            ++pos_;
        }
    }

    std::optional<std::string> integer() {
        const std::size_t start = pos_;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
            ++pos_;
        }
        const std::string digits = s_.substr(start, pos_ - start);
        if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) {
            return std::nullopt;
        }
        return digits;
    }

    std::optional<unsigned> hex4() {
        if (pos_ + 4 > s_.size()) {
            return std::nullopt;
        }
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = s_[pos_++];
            const int d = c >= 'a' && c <= 'f' ? c - 'a' + 10 : hex_digit(c);
            if (d < 0) {
                return std::nullopt;
            }
            value = value * 16 + static_cast<unsigned>(d);
        }
        return value;
    }

    static void append_utf8(std::string& out, char32_t cp) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }

    // The string's value as UTF-8. Surrogate escapes are not needed by
    // anything a template holds, so they fail the reading.
    std::optional<std::string> string() {
        if (!take('"')) {
            return std::nullopt;
        }
        std::string out;
        while (pos_ < s_.size()) {
            const unsigned char c = static_cast<unsigned char>(s_[pos_]);
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c < 0x20) {
                return std::nullopt; // raw control characters are not allowed
            }
            if (c != '\\') {
                const std::size_t start = pos_;
                if (!next_code_point(s_, pos_)) {
                    return std::nullopt;
                }
                out += s_.substr(start, pos_ - start);
                continue;
            }
            ++pos_;
            const char e = peek();
            ++pos_;
            const std::map<char, char> simple{{'"', '"'},  {'\\', '\\'}, {'/', '/'},  {'b', '\b'},
                                              {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'}};
            if (simple.count(e)) {
                out.push_back(simple.at(e));
            } else if (e == 'u') {
                const auto cp = hex4();
                if (!cp || (*cp >= 0xD800 && *cp <= 0xDFFF)) {
                    return std::nullopt;
                }
                append_utf8(out, *cp);
            } else {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    const std::string& s_;
    std::size_t pos_ = 0;
};

void check_json(const std::vector<ReportEntry>& entries) {
    const std::string report = json_report(entries);
    FUZZ_CHECK(valid_utf8(report));
    const auto members = JsonReader(report).object();
    FUZZ_CHECK(members.has_value());
    FUZZ_CHECK(members->size() == entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ReportEntry& e = entries[i];
        FUZZ_CHECK((*members)[i].first == e.name);
        FUZZ_CHECK((*members)[i].second == (e.is_text ? cp1250_to_utf8(e.text) : number_text(e)));
    }
}

void check_reports(const std::vector<ReportEntry>& entries) {
    check_plain(entries);
    check_json(entries);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ImageBuffer image;
    image.fill(0x1A);
    std::copy_n(data, std::min(size, image.size()), image.begin());
    Settings settings;
    decode_parameters(image, settings);
    odczytaj_uzytkownikow(image, settings);
    decode_texts(image, settings);
    std::vector<ReportEntry> entries = report_entries(settings);
    check_reports(entries);

    // The same report with raw texts cut from the input, so that every byte
    // value reaches the escaping.
    fuzz::ByteReader in(data, size);
    for (ReportEntry& e : entries) {
        if (e.is_text) {
            e.text = in.sized_text(40);
        } else {
            e.number = in.byte();
        }
    }
    check_reports(entries);
    return 0;
}
