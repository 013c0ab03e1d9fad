#pragma once
// Whether a file can be created in the folder that is to hold `path` (UTF-8):
// asked before a read from the device, so that the user does not switch it
// off and on for a template that cannot be saved.

#include <string>

namespace gnc::cli {

bool folder_writable(const std::string& path);

} // namespace gnc::cli
