#include "app/program_arguments.h"

#include "image/path_text_win.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>

namespace gnc {

// `argv` holds the arguments in the ANSI code page, where letters that it
// lacks are already lost; it is used only if the wide command line cannot
// be had.
std::vector<std::string> program_arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8_from_utf16(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

namespace {

bool has_output(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

void answer_in_parent_console() {
    if (has_output(STD_OUTPUT_HANDLE) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    std::freopen("CONOUT$", "w", stdout);
    if (!has_output(STD_ERROR_HANDLE)) {
        std::freopen("CONOUT$", "w", stderr);
    }
}

} // namespace gnc
