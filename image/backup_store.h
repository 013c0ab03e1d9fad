#pragma once
// Backups of every settings image read from a device: template files named
// by the UTC date and time of the read, in
// $XDG_DATA_HOME/gsm-notifier-config/backups (~/.local/share when
// XDG_DATA_HOME is unset or not absolute). Only the newest backups are kept.

#include "image/image_buffer.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace gnc {

inline constexpr std::size_t backups_kept = 200;

// The backup folder, or empty when neither XDG_DATA_HOME nor HOME tells
// where it is.
std::string backup_folder();

struct BackupResult {
    bool saved = false;
    std::string path;  // the new backup when saved
    std::string error; // why not, in Polish, when not saved
};

// Saves `image` as a new template in `folder` (created when missing) under
// the name of `when` (YYYY-MM-DD_HH-MM-SS_NNN.sbn, NNN counting backups of
// the same second) without ever replacing a file, then removes the oldest
// backups beyond `backups_kept`. Files of other names are never touched.
BackupResult save_backup(const ImageBuffer& image, const std::string& folder, std::time_t when);
BackupResult save_backup(const ImageBuffer& image); // backup_folder(), now

// The backups in `folder`, newest first, as full paths.
std::vector<std::string> list_backups(const std::string& folder);

} // namespace gnc
