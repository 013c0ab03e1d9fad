#pragma once
// The settings of the demo device: what an installer would program into a
// notifier guarding a house. The simulated device starts from the image these
// settings compose (resources/demo/demo.sbn), so a newcomer sees filled
// windows and can program them back without any refusal.

#include "image/encoder.h"
#include "image/image_buffer.h"

#include <string>
#include <vector>

namespace gnc::demo {

// The two windows' controls as the installer left them.
EncoderInput demo_controls();

// Composes the whole template from demo_controls() on an erased buffer (all
// 0xFF, as after a read from a fresh device). Every message the encoder shows
// is appended to `messages`; the demo must compose without any.
ImageBuffer compose_demo_image(std::vector<std::string>& messages);

// Writes the demo template to `path`; false (with the reason in `error`) when
// the composition showed a message or the file could not be written.
bool write_demo_template(const std::string& path, std::string& error);

} // namespace gnc::demo
