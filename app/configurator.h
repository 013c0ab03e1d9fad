#pragma once
// The configurator's start-up, shared by main() and by the test programs
// that script its windows: the application object, the Polish texts, the
// process set-up for ending and writing files, the windows, the event loop.

#include <functional>

namespace gnc {

class AppWindows;

// Runs the configurator until it ends and returns its exit code.
// `after_start`, when given, runs once the main window is shown.
int run_configurator(int argc, char** argv,
                     const std::function<void(AppWindows&)>& after_start = {});

} // namespace gnc
