#include "windows/end_program.h"

#include <cstdio>
#include <cstdlib>

namespace gnc {

namespace {

std::function<void()>& replacement() {
    static std::function<void()> hook;
    return hook;
}

} // namespace

void end_program_now() {
    // Leaving through the event loops would first unwind every open modal
    // window and run their closing handlers; the program is to end at once.
    std::fflush(nullptr);
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

} // namespace gnc
