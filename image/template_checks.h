#pragma once
// Checks of a template before it is sent to a device, and the naming of the
// settings fields behind image bytes. Fields are named as the template
// inspector names the settings values (sms_centre_number, header_text, ...).

#include "image/encoder.h"
#include "image/image_buffer.h"
#include "image/settings.h"

#include <string>
#include <vector>

namespace gnc {

// Names of the fields whose bytes fail their check byte or complement pair
// (or hold a number the decoder does not accept), so that the configurator
// would show a fallback instead of what is stored. Fields as the composition
// leaves them when empty or switched off (all zero bytes) pass.
std::vector<std::string> fields_failing_checks(const ImageBuffer& image);

// The editor windows' controls as they stand after showing `settings`.
EncoderInput controls_showing(const Settings& settings);

// The messages the image encoder shows when it composes `settings` from the
// windows over `image`, in step order; empty when it accepts them.
std::vector<std::string> encoder_messages(const ImageBuffer& image, const Settings& settings);

// Names of the fields that hold the bytes of the settings image (bytes 0 to
// 2047) in which `a` and `b` differ, in image order; a differing byte that
// belongs to no field is named "bajt N".
std::vector<std::string> fields_differing(const ImageBuffer& a, const ImageBuffer& b);

} // namespace gnc
