#include "link/link_io.h"

#include <algorithm>

namespace gnc {

std::size_t Read_Comm(LinkPort& port, LinkBuffer& buffer, std::size_t limit) {
    // Never store beyond the end of the link buffer, whatever the caller asks.
    limit = std::min(limit, link_buffer_size - receive_offset);
    const std::size_t received = port.read_available(buffer.data() + receive_offset, limit);
    return std::min(received, limit);
}

void send_frame(LinkPort& port, const LinkBuffer& buffer, std::size_t count) {
    count = std::min(count, receive_offset - transmit_offset);
    if (count == 0) {
        return;
    }
    port.send(buffer.data() + transmit_offset, count);
}

} // namespace gnc
