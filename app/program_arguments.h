#pragma once
// The command line as UTF-8 strings, the program's name first. On Windows
// they come from the UTF-16 command line, so that names with letters beyond
// the ANSI code page arrive intact.

#include <string>
#include <vector>

namespace gnc {

std::vector<std::string> program_arguments(int argc, char** argv);

// A windowed Windows program has no standard output of its own: started
// from a console with options, it writes its answers to that console. Where
// the output already goes somewhere (a file, a pipe), and on Linux, this
// does nothing.
void answer_in_parent_console();

} // namespace gnc
