#pragma once
// The template tool's commands for field work with a device and with
// templates: read, program, backups, diff. Each returns the exit status.

#include <string>

namespace gnc::cli {

// Exit statuses a script can rely on.
enum ExitStatus {
    exit_done = 0,
    exit_file = 1,            // a file could not be read or written
    exit_usage = 2,           // bad usage
    exit_no_connection = 3,   // port unavailable, or no connect offer in time
    exit_read_timeout = 4,    // the device's settings were not read in time
    exit_program_timeout = 5, // the pages were not acknowledged in time
    exit_refused = 6,         // the template would not be accepted by the windows
    exit_verify_failed = 7,   // the device holds something else than was sent
};

// These two need a QCoreApplication.
int read_command(const std::string& port_name, const std::string& out_path);
int program_command(const std::string& port_name, const std::string& in_path, bool verify);

int backups_command();
int diff_command(const std::string& path_a, const std::string& path_b, bool json);

} // namespace gnc::cli
