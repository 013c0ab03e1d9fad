// The machine's ports as the program sees them: the machine's own, unless a
// test has put others in their place.

#include "link/serial_devices.h"

namespace gnc {

namespace {

std::function<PortSources()>& sources_override() {
    static std::function<PortSources()> override;
    return override;
}

} // namespace

void override_port_sources(std::function<PortSources()> sources) {
    sources_override() = std::move(sources);
}

PortSources port_sources_now() {
    return sources_override() ? sources_override()() : machine_port_sources();
}

} // namespace gnc
