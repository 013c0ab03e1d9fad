#pragma once
// The one line written on stderr when a serial port does not open: the
// device, the system's reason and what to do about it. Plain C++.

#include <string>

namespace gnc {

enum class OpenProblem {
    missing,    // no such device
    permission, // the user may not open it
    busy,       // another program holds it
    stale_lock, // a lock file names a process that no longer runs
    other,
};

struct OpenFailure {
    std::string device;
    OpenProblem problem = OpenProblem::other;
    int holder_pid = 0;      // 0 where no holder was found
    std::string holder_name; // the holder's command name, where known
    std::string lock_file;   // the lock file that names the holder
    std::string system_text; // the system's own words, for `other`
};

std::string open_failure_line(const std::string& program, const OpenFailure& failure);

} // namespace gnc
