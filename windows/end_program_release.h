#pragma once
// Shared by the two halves of the program's ending: end_program.cpp and the
// operating system's end_program_*.cpp.

namespace gnc {

// Runs what release_at_program_end() registered, if anything.
void release_before_ending();

} // namespace gnc
