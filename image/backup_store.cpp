#include "image/backup_store.h"

#include "image/template_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <system_error>
#include <unistd.h>

namespace gnc {

namespace fs = std::filesystem;

namespace {

constexpr int names_per_second = 1000;

bool is_backup_name(const std::string& name) {
    static const std::regex pattern(R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}_\d{3}\.sbn)");
    return std::regex_match(name, pattern);
}

std::string second_of(std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &utc);
    return text;
}

std::string backup_name(const std::string& second, int sequence) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%03d.sbn", sequence);
    return second + suffix;
}

BackupResult failure(const std::string& what, const std::string& path, const std::error_code& ec) {
    BackupResult result;
    result.error = what + " " + path + (ec ? ": " + ec.message() : std::string());
    return result;
}

// Gives the saved file its final name without replacing anything: a hard
// link fails when the name is taken, where a rename would overwrite it.
bool take_name(const fs::path& incoming, const fs::path& target, std::error_code& ec) {
    fs::create_hard_link(incoming, target, ec);
    if (!ec) {
        fs::remove(incoming, ec);
        ec.clear();
        return true;
    }
    if (ec == std::errc::file_exists) {
        return false;
    }
    // A file system without hard links: rename when the name is free.
    std::error_code exists_ec;
    if (fs::exists(target, exists_ec) || exists_ec) {
        ec = exists_ec ? exists_ec : std::make_error_code(std::errc::file_exists);
        return false;
    }
    fs::rename(incoming, target, ec);
    return !ec;
}

void remove_oldest(const std::string& folder) {
    const std::vector<std::string> backups = list_backups(folder);
    for (std::size_t i = backups_kept; i < backups.size(); ++i) {
        std::error_code ignored;
        fs::remove(backups[i], ignored);
    }
}

} // namespace

std::string backup_folder() {
    const char* data_home = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data_home != nullptr && data_home[0] == '/') {
        base = data_home;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            return {};
        }
        base = std::string(home) + "/.local/share";
    }
    return base + "/gsm-notifier-config/backups";
}

BackupResult save_backup(const ImageBuffer& image, const std::string& folder, std::time_t when) {
    if (folder.empty()) {
        return failure("Nie wiadomo, gdzie zapisać kopię zapasową: brak zmiennych XDG_DATA_HOME "
                       "i HOME",
                       "", {});
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        return failure("Nie można utworzyć folderu kopii zapasowych", folder, ec);
    }
    const fs::path incoming =
        fs::path(folder) / (".incoming-" + std::to_string(::getpid()) + ".sbn");
    if (!save_template(incoming.string(), image)) {
        return failure("Nie można zapisać kopii zapasowej w folderze", folder, {});
    }
    const std::string second = second_of(when);
    for (int sequence = 0; sequence < names_per_second; ++sequence) {
        const fs::path target = fs::path(folder) / backup_name(second, sequence);
        if (take_name(incoming, target, ec)) {
            remove_oldest(folder);
            return {true, target.string(), {}};
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
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (is_backup_name(name) && it->is_regular_file(ec)) {
            names.push_back(name);
        }
    }
    // The names sort in time order: fixed-width date, time and sequence.
    std::sort(names.rbegin(), names.rend());
    for (std::string& name : names) {
        name = (fs::path(folder) / name).string();
    }
    return names;
}

} // namespace gnc
