#include "tools/template/progress.h"

#include <unistd.h>

namespace gnc::cli {

bool Progress::stderr_is_terminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace gnc::cli
