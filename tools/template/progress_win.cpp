#include "tools/template/progress.h"

#include <windows.h>

namespace gnc::cli {

// The bar is redrawn with a carriage return and the "erase to the end of the
// line" sequence; a console that cannot take such sequences gets one line
// per step instead.
bool Progress::stderr_is_terminal() {
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(console, &mode) == 0) {
        return false;
    }
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

} // namespace gnc::cli
