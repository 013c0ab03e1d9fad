#pragma once
// The settings values of a template as name/value lines or as one JSON object.

#include "image/settings.h"

#include <string>
#include <vector>

namespace gnc {

struct ReportEntry {
    const char* name; // the settings value's name
    bool is_text;     // text (CP1250 bytes) or a number (flag or mask)
    std::string text; // CP1250 bytes when is_text
    unsigned number;  // when not is_text
};

// Every settings value, in the order of the Settings record.
std::vector<ReportEntry> report_entries(const Settings& settings);

// One "name: value" line per value; texts in UTF-8, control characters and
// bytes without a CP1250 character as \xNN (so that every value stays on its
// line), a backslash doubled.
std::string plain_report(const std::vector<ReportEntry>& entries);

// One JSON object keyed by the names: numbers as numbers, texts as strings.
std::string json_report(const std::vector<ReportEntry>& entries);

} // namespace gnc
