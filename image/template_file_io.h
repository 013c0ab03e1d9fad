#pragma once
// The operating system's side of template files, beside the common part in
// template_file.cpp. Paths are UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>

namespace gnc::template_io {

// Reads up to `count` bytes from the start of a regular disk file into
// `data`: the number of bytes read (fewer at the file's end), or -1 when the
// name is not such a file or reading failed. Never waits on a device or a
// pipe.
long read_regular_file(const std::string& path, std::uint8_t* data, std::size_t count);

// Puts `count` bytes in place of the file at `path`, through a temporary
// file beside it; see save_template().
bool replace_file(const std::string& path, const std::uint8_t* data, std::size_t count);

} // namespace gnc::template_io
