#include "tools/template/console_output.h"

#include <cstdio>

namespace gnc::cli {

namespace {

bool write_to(std::FILE* stream, std::string_view text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    return std::fflush(stream) == 0 && written;
}

} // namespace

bool write_out(std::string_view text) {
    return write_to(stdout, text);
}

bool write_err(std::string_view text) {
    return write_to(stderr, text);
}

} // namespace gnc::cli
