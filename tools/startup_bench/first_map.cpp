// gnc-first-map [--linger MS] [--timeout MS] PROGRAM [ARGS...]
//
// Starts PROGRAM on the X display in $DISPLAY and prints one line: the
// milliseconds from starting it to its first top-level window being mapped,
// the program's peak resident set in KiB, and the CPU time in ms it used
// (all its threads) until the window was mapped: steadier than the first
// figure on a busy machine, where waiting for a core adds to the elapsed
// time. After the window is mapped
// the program is left running for --linger ms (default 500), so that it
// draws its window, and is then ended with SIGTERM. Watching the root
// window's map events from outside needs no hook in the program measured;
// one program at a time must run on the display.

#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    int linger_ms = 500;
    int timeout_ms = 10000;
    char** command = nullptr;
};

std::optional<Options> parse(int argc, char** argv) {
    Options options;
    int next = 1;
    while (next + 1 < argc && argv[next][0] == '-') {
        const std::string name = argv[next];
        const int value = std::atoi(argv[next + 1]);
        if (name == "--linger")
            options.linger_ms = value;
        else if (name == "--timeout")
            options.timeout_ms = value;
        else
            return std::nullopt;
        next += 2;
    }
    if (next >= argc)
        return std::nullopt;
    options.command = argv + next;
    return options;
}

// Asks for the root window's map events and waits until the server has
// taken the request, so that no map of the program can come before it.
bool watch_root(xcb_connection_t* x, xcb_window_t root) {
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    const xcb_void_cookie_t cookie =
        xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask);
    const std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
        xcb_request_check(x, cookie), &std::free);
    return error == nullptr;
}

pid_t start(char** command, int display_fd) {
    const pid_t pid = fork();
    if (pid == 0) {
        close(display_fd);
        execvp(command[0], command);
        std::fprintf(stderr, "gnc-first-map: cannot start %s: %s\n", command[0],
                     std::strerror(errno));
        _exit(127);
    }
    return pid;
}

bool is_top_level_map(const xcb_generic_event_t* event, xcb_window_t root) {
    if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY)
        return false;
    return reinterpret_cast<const xcb_map_notify_event_t*>(event)->event == root;
}

bool mapped_in_queue(xcb_connection_t* x, xcb_window_t root) {
    bool mapped = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
        mapped = mapped || is_top_level_map(event, root);
        std::free(event);
    }
    return mapped;
}

// Leaves an ended program to be reaped later, with its resource use.
bool still_running(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

// Waits for the first map of a top-level window; false when the program
// ended, the display went away or the time-out passed first.
bool wait_for_map(xcb_connection_t* x, xcb_window_t root, pid_t pid, Clock::time_point deadline) {
    pollfd display{xcb_get_file_descriptor(x), POLLIN, 0};
    while (Clock::now() < deadline) {
        if (mapped_in_queue(x, root))
            return true;
        if (xcb_connection_has_error(x) != 0 || !still_running(pid))
            return false;
        poll(&display, 1, 5);
    }
    return false;
}

// The program's CPU time so far, all threads; -1 where it cannot be read.
double cpu_ms(pid_t pid) {
    clockid_t clock = 0;
    timespec used{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0)
        return -1;
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

// Ends the program (SIGTERM, SIGKILL after 3 s) and returns its peak
// resident set in KiB.
long end_and_measure(pid_t pid) {
    kill(pid, SIGTERM);
    rusage usage{};
    int status = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return usage.ru_maxrss;
}

// Runs the program once and prints what it measured.
int measure(xcb_connection_t* x, xcb_window_t root, const Options& options) {
    const Clock::time_point started = Clock::now();
    const pid_t pid = start(options.command, xcb_get_file_descriptor(x));
    if (pid < 0)
        return 1;
    const auto deadline = started + std::chrono::milliseconds(options.timeout_ms);
    const bool mapped = wait_for_map(x, root, pid, deadline);
    const double map_ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    const double used_ms = cpu_ms(pid);
    if (mapped)
        std::this_thread::sleep_for(std::chrono::milliseconds(options.linger_ms));
    const long peak_kib = end_and_measure(pid);
    if (!mapped) {
        std::fprintf(stderr, "gnc-first-map: %s mapped no window\n", options.command[0]);
        return 1;
    }
    std::printf("%.1f %ld %.1f\n", map_ms, peak_kib, used_ms);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: gnc-first-map [--linger MS] [--timeout MS] PROGRAM [ARGS...]\n");
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x) != 0) {
        std::fprintf(stderr, "gnc-first-map: cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    int status = 1;
    if (watch_root(x, root))
        status = measure(x, root, *options);
    else
        std::fprintf(stderr, "gnc-first-map: cannot watch the root window\n");
    xcb_disconnect(x);
    return status;
}
