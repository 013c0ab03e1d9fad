#pragma once
// Ends the whole program at once, from any depth of open modal windows: no
// window is stored, nothing is asked, nothing is written. The serial port is
// left to the operating system, which releases it when the process ends.

#include <functional>

namespace gnc {

[[noreturn]] void end_program_now();

// Calls the override when one is set (tests), otherwise end_program_now().
void end_program();

// An empty function restores the real ending.
void override_end_program(std::function<void()> replacement);

} // namespace gnc
