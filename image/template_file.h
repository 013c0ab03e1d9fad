#pragma once
// Settings templates: the whole 4096-byte image buffer on disk, raw, with no
// header or checksum of its own.

#include "image/image_buffer.h"

#include <string>

namespace gnc {

// Reads the first 4096 bytes of the file; bytes beyond a shorter file's end
// become 0x1A. The image buffer is replaced only after the read completed:
// on false (unreadable file) it is exactly as it was.
bool load_template(const std::string& path, ImageBuffer& image);

// Writes the 4096 bytes to a temporary file beside the target, flushes it to
// disk and renames it over the target. On false an existing template is left
// intact and no temporary file remains.
bool save_template(const std::string& path, const ImageBuffer& image);

} // namespace gnc
