#include "link/open_diagnosis.h"

namespace gnc {

namespace {

std::string holder_text(const OpenFailure& failure) {
    if (failure.holder_pid <= 0) {
        return "in use by another program";
    }
    std::string text = "in use by process " + std::to_string(failure.holder_pid);
    if (!failure.holder_name.empty()) {
        text += " (" + failure.holder_name + ")";
    }
    if (!failure.lock_file.empty()) {
        text += ", lock file " + failure.lock_file;
    }
    return text;
}

std::string advice(const OpenFailure& failure) {
    switch (failure.problem) {
    case OpenProblem::missing:
        return "no such device; see the serial devices found with: gsm-notifier-config "
               "--list-ports";
    case OpenProblem::permission:
        return "permission denied; join the dialout group with: sudo usermod -aG dialout "
               "$USER, then log in again";
    case OpenProblem::busy:
        return holder_text(failure) +
               "; close that program (ModemManager and brltty are the usual suspects that "
               "grab USB serial adapters)";
    case OpenProblem::stale_lock:
        return "locked by " + failure.lock_file + " of process " +
               std::to_string(failure.holder_pid) + ", which no longer runs; remove that file";
    case OpenProblem::other:
        break;
    }
    return failure.system_text.empty() ? std::string("cannot be opened")
                                       : "cannot be opened: " + failure.system_text;
}

} // namespace

std::string open_failure_line(const std::string& program, const OpenFailure& failure) {
    return program + ": " + failure.device + ": " + advice(failure);
}

} // namespace gnc
