#include "tools/template/host_folders.h"

#include "image/path_text_win.h"

#include <windows.h>

#include <filesystem>

namespace gnc::cli {

// Windows tells a folder's write access only by trying: a file that is
// created new and removed again when closed. A device name is refused here
// already, as the save would refuse it after the read.
bool folder_writable(const std::string& path) {
    const auto wide = utf16_from_utf8(path);
    if (!wide || names_a_device(path)) {
        return false;
    }
    std::filesystem::path folder = std::filesystem::path(*wide).parent_path();
    if (folder.empty()) {
        folder = L".";
    }
    const std::wstring probe =
        (folder / (L".probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp")).wstring();
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

} // namespace gnc::cli
