#pragma once
// The configurator's own options: --help, --version and --list-ports. They
// print and end the program before any window or display is touched.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace gnc {

// The exit status where `arguments` (argv, program name first) hold one of
// the options; nothing where the program goes on to open its windows. Other
// arguments are left to the toolkit.
std::optional<int> run_command_line(const std::vector<std::string>& arguments, std::ostream& out);

} // namespace gnc
