#pragma once
// Moving frames between the link buffer and the port: sends from offset 0 of
// the transmit area, reads into the receive area from offset 524.

#include "link/link_buffer.h"
#include "link/link_port.h"

#include <cstddef>

namespace gnc {

// Stores at most `limit` bytes that have already arrived at the start of the
// receive area and returns how many (0: nothing queued, no port, or a failed
// read). Bytes of the receive area beyond those keep their earlier contents.
std::size_t Read_Comm(LinkPort& port, LinkBuffer& buffer, std::size_t limit);

// Sends the first `count` bytes of the transmit area.
void send_frame(LinkPort& port, const LinkBuffer& buffer, std::size_t count);

} // namespace gnc
