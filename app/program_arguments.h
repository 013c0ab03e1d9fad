#pragma once
// The command line as UTF-8 strings, the program's name first. On Windows
// they come from the UTF-16 command line, so that names with letters beyond
// the ANSI code page arrive intact.

#include <string>
#include <vector>

namespace gnc {

std::vector<std::string> program_arguments(int argc, char** argv);

} // namespace gnc
