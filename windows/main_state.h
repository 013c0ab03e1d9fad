#pragma once
// Everything the main window owns and the other windows reach directly:
// the image buffer, the decoded settings, the port name, the link buffer and
// link state, and the parameters/messages window guards.

#include "image/image_buffer.h"
#include "image/settings.h"
#include "link/link_buffer.h"
#include "link/link_state.h"

#include <cstdint>
#include <string>

namespace gnc {

struct MainState {
    ImageBuffer image_buffer{};
    Settings settings;
    std::string port_name = "COM1";
    LinkBuffer link_buffer{};
    LinkState link;
    std::uint8_t parameter_rules_armed = 0;
    std::uint8_t settle_ticks = 0;
    std::uint8_t messages_window_open = 0;
    // Where the image came from, as the settings report names it (UTF-8):
    // the last template loaded or device read; empty before either.
    std::string settings_origin;
};

} // namespace gnc
