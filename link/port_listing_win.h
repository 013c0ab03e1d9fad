#pragma once
// The --list-ports report on Windows: what COM1 ... COM8 reach, the ports
// Windows knows with their friendly names, and the ports-file line that makes
// the first adapter COM1. Plain C++ over the mapping rules.

#include "link/port_listing.h"

#include <string>
#include <vector>

namespace gnc {

// `sources.devices` are the ports Windows lists: device "COM12", product
// the friendly name "USB-SERIAL CH340 (COM12)" where the system has one.
std::string windows_port_listing(const PortSources& sources, const ListingContext& context);

// The port that the report offers to make COM1: the first USB adapter, or
// where none is known as such, the first port above COM8 (which the port box
// cannot offer). Null when there is none.
const SerialDevice* first_adapter(const std::vector<SerialDevice>& devices);

} // namespace gnc
