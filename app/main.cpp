// gsm-notifier-config: programs a GSM SMS alarm notifier over a serial cable.

#include "app/command_line.h"
#include "app/configurator.h"
#include "app/program_arguments.h"

#include <iostream>

int main(int argc, char** argv) {
    // --help, --version and --list-ports are answered before the toolkit
    // starts, so they need no display.
    if (argc > 1) {
        gnc::answer_in_parent_console();
    }
    if (const auto status = gnc::run_command_line(gnc::program_arguments(argc, argv), std::cout)) {
        return *status;
    }
    return gnc::run_configurator(argc, argv);
}
