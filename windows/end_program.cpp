#include "windows/end_program.h"

#include "windows/end_program_release.h"

#include <cstdio>
#include <cstdlib>

namespace gnc {

namespace {

std::function<void()>& replacement() {
    static std::function<void()> hook;
    return hook;
}

std::function<void()>& release_action() {
    static std::function<void()> release;
    return release;
}

} // namespace

void release_before_ending() {
    if (release_action()) {
        release_action()();
    }
}

void end_program_now() {
    // Leaving through the event loops would first unwind every open modal
    // window and run their closing handlers; the program is to end at once.
    std::fflush(nullptr);
    release_before_ending();
    std::_Exit(EXIT_SUCCESS);
}

void end_program() {
    if (replacement()) {
        replacement()();
        return;
    }
    end_program_now();
}

void override_end_program(std::function<void()> replacement_function) {
    replacement() = std::move(replacement_function);
}

void release_at_program_end(std::function<void()> release) {
    release_action() = std::move(release);
}

} // namespace gnc
