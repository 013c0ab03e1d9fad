#include "image/backup_store.h"
#include "image/backup_store_platform.h"

#include <cstdlib>
#include <unistd.h>

namespace gnc {

namespace fs = std::filesystem;

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

namespace backup_platform {

const char* const no_folder_message =
    "Nie wiadomo, gdzie zapisać kopię zapasową: brak zmiennych XDG_DATA_HOME i HOME";

std::string utc_second(std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &utc);
    return text;
}

unsigned long process_number() {
    return static_cast<unsigned long>(::getpid());
}

// A hard link fails when the name is taken, where a rename would overwrite
// it.
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

std::string error_text(const std::error_code& ec) {
    return ec.message();
}

} // namespace backup_platform

} // namespace gnc
