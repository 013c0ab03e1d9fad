#include "tools/template/host_folders.h"

#include <filesystem>
#include <unistd.h>

namespace gnc::cli {

bool folder_writable(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const std::string checked = folder.empty() ? "." : folder;
    std::error_code ec;
    return std::filesystem::is_directory(checked, ec) && ::access(checked.c_str(), W_OK) == 0;
}

} // namespace gnc::cli
