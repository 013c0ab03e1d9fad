#include "image/backup_store.h"

#include "image/backup_store_platform.h"
#include "image/template_file.h"

#include <algorithm>
#include <cstdio>
#include <regex>

namespace gnc {

namespace fs = std::filesystem;
using backup_platform::path_from_utf8;
using backup_platform::utf8_of;

namespace {

constexpr int names_per_second = 1000;

bool is_backup_name(const std::string& name) {
    static const std::regex pattern(R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}_\d{3}\.sbn)");
    return std::regex_match(name, pattern);
}

std::string backup_name(const std::string& second, int sequence) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%03d.sbn", sequence);
    return second + suffix;
}

BackupResult failure(const std::string& what, const std::string& path, const std::error_code& ec) {
    BackupResult result;
    result.error =
        what + " " + path + (ec ? ": " + backup_platform::error_text(ec) : std::string());
    return result;
}

void remove_oldest(const std::string& folder) {
    const std::vector<std::string> backups = list_backups(folder);
    for (std::size_t i = backups_kept; i < backups.size(); ++i) {
        std::error_code ignored;
        fs::remove(path_from_utf8(backups[i]), ignored);
    }
}

} // namespace

BackupResult save_backup(const ImageBuffer& image, const std::string& folder, std::time_t when) {
    if (folder.empty()) {
        return failure(backup_platform::no_folder_message, "", {});
    }
    const fs::path folder_path = path_from_utf8(folder);
    std::error_code ec;
    fs::create_directories(folder_path, ec);
    if (ec || !fs::is_directory(folder_path, ec)) {
        return failure("Nie można utworzyć folderu kopii zapasowych", folder, ec);
    }
    const fs::path incoming =
        folder_path / (".incoming-" + std::to_string(backup_platform::process_number()) + ".sbn");
    if (!save_template(utf8_of(incoming), image)) {
        return failure("Nie można zapisać kopii zapasowej w folderze", folder, {});
    }
    const std::string second = backup_platform::utc_second(when);
    for (int sequence = 0; sequence < names_per_second; ++sequence) {
        const fs::path target = folder_path / backup_name(second, sequence);
        if (backup_platform::take_name(incoming, target, ec)) {
            remove_oldest(folder);
            return {true, utf8_of(target), {}};
        }
        if (ec && ec != std::errc::file_exists) {
            break;
        }
    }
    fs::remove(incoming, ec);
    return failure("Nie można nadać nazwy kopii zapasowej w folderze", folder, ec);
}

BackupResult save_backup(const ImageBuffer& image) {
    return save_backup(image, backup_folder(), std::time(nullptr));
}

std::vector<std::string> list_backups(const std::string& folder) {
    std::vector<std::string> names;
    const fs::path folder_path = path_from_utf8(folder);
    std::error_code ec;
    for (fs::directory_iterator it(folder_path, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = utf8_of(it->path().filename());
        if (is_backup_name(name) && it->is_regular_file(ec)) {
            names.push_back(name);
        }
    }
    // The names sort in time order: fixed-width date, time and sequence.
    std::sort(names.rbegin(), names.rend());
    for (std::string& name : names) {
        name = utf8_of(folder_path / name);
    }
    return names;
}

} // namespace gnc
