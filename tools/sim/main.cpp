// gsm-notifier-sim: a simulated notifier on a pseudo-terminal, for trying the
// configurator without hardware and for end-to-end tests.

#include "gnc_version.h"
#include "sim_device.h"
#include "sim_options.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace gnc::sim;

volatile std::sig_atomic_t stop_requested = 0;

void request_stop(int) {
    stop_requested = 1;
}

void install_signal_handlers() {
    struct sigaction action {};
    action.sa_handler = request_stop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // A --save past the file-size limit then fails instead of killing the device.
    std::signal(SIGXFSZ, SIG_IGN);
}

const Clock::time_point started = Clock::now();

void log_line(const std::string& text) {
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    std::fprintf(stderr, "[%9.3f] %s\n", seconds, text.c_str());
}

bool load_memory(const std::string& path, Memory& memory) {
    memory.fill(0xFF);
    if (path.empty()) {
        return true;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    file.read(reinterpret_cast<char*>(memory.data()), memory_size);
    return !file.bad();
}

// Written to a temporary file first, so a reader never sees half a memory.
void save_memory(const std::string& path, const Memory& memory) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(memory.data()), memory_size);
        if (!file) {
            log_line("cannot write " + temporary);
            return;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        log_line("cannot replace " + path);
    }
}

struct Terminal {
    int master = -1;
    std::string slave_path;
};

// Opens the pseudo-terminal with a raw line, so that nothing is echoed or
// translated before the configurator sets its own line settings.
bool open_terminal(Terminal& terminal) {
    int slave = -1;
    char name[256] = {};
    if (openpty(&terminal.master, &slave, name, nullptr, nullptr) != 0) {
        return false;
    }
    termios line{};
    tcgetattr(slave, &line);
    cfmakeraw(&line);
    cfsetispeed(&line, B19200);
    cfsetospeed(&line, B19200);
    tcsetattr(slave, TCSANOW, &line);
    close(slave);
    fcntl(terminal.master, F_SETFL, fcntl(terminal.master, F_GETFL) | O_NONBLOCK);
    terminal.slave_path = name;
    return true;
}

bool place_link(const std::string& link, const std::string& target) {
    struct stat info {};
    if (lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            return false;
        }
        unlink(link.c_str());
    }
    return symlink(target.c_str(), link.c_str()) == 0;
}

void remove_link(const std::string& link, const std::string& target) {
    char points_to[512] = {};
    const ssize_t length = readlink(link.c_str(), points_to, sizeof points_to - 1);
    if (length > 0 && target == std::string(points_to, static_cast<std::size_t>(length))) {
        unlink(link.c_str());
    }
}

class Line {
  public:
    Line(Terminal terminal, SimDevice& device, bool log)
        : terminal_(std::move(terminal)), device_(device), log_(log) {
        watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        inotify_add_watch(watch_, terminal_.slave_path.c_str(), IN_OPEN);
    }
    ~Line() {
        if (watch_ >= 0) {
            close(watch_);
        }
        if (terminal_.master >= 0) {
            close(terminal_.master);
        }
    }

    // Runs until a stop signal or a requested hang-up.
    void run() {
        while (!stop_requested) {
            wait_for_events();
            if (opened_again()) {
                device_.power_on(Clock::now());
                pending_.clear();
                open_ = true;
            }
            if (open_) {
                receive();
                pending_ = concat(pending_, device_.take_due(Clock::now()));
                transmit();
            }
            if (device_.hang_up_due() && pending_.empty()) {
                if (log_) {
                    log_line("hanging up the line");
                }
                return;
            }
        }
    }

  private:
    static Bytes concat(Bytes first, const Bytes& second) {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    }

    void wait_for_events() {
        pollfd fds[2] = {{watch_, POLLIN, 0}, {terminal_.master, 0, 0}};
        nfds_t count = 1;
        if (open_) {
            fds[1].events = static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT));
            count = 2;
        }
        int timeout = open_ ? device_.ms_until_due(Clock::now()) : -1;
        timeout = timeout < 0 ? 200 : std::min(timeout, 200);
        poll(fds, count, timeout);
        if (open_ && (fds[1].revents & POLLHUP) && !(fds[1].revents & POLLIN)) {
            open_ = false; // nobody holds the line; wait for the next open
            if (log_) {
                log_line("line closed");
            }
        }
    }

    bool opened_again() {
        bool opened = false;
        alignas(inotify_event) char events[4096];
        while (read(watch_, events, sizeof events) > 0) {
            opened = true;
        }
        return opened;
    }

    void receive() {
        std::uint8_t chunk[4096];
        ssize_t count = 0;
        while ((count = read(terminal_.master, chunk, sizeof chunk)) > 0) {
            device_.receive(chunk, static_cast<std::size_t>(count), Clock::now());
        }
    }

    void transmit() {
        while (!pending_.empty()) {
            const ssize_t written = write(terminal_.master, pending_.data(), pending_.size());
            if (written <= 0) {
                return; // full or closed: try again on the next round
            }
            pending_.erase(pending_.begin(), pending_.begin() + written);
        }
    }

    Terminal terminal_;
    SimDevice& device_;
    bool log_;
    int watch_ = -1;
    bool open_ = false;
    Bytes pending_;
};

int run_simulator(const Options& options) {
    Memory memory{};
    if (!load_memory(options.memory_file, memory)) {
        std::cerr << "gsm-notifier-sim: cannot read " << options.memory_file << "\n";
        return 2;
    }
    Terminal terminal;
    if (!open_terminal(terminal)) {
        std::cerr << "gsm-notifier-sim: cannot open a pseudo-terminal: " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    auto log = [&options](const std::string& text) {
        if (options.log) {
            log_line(text);
        }
    };
    auto save = [&options](const Memory& stored) {
        if (!options.save_file.empty()) {
            save_memory(options.save_file, stored);
        }
    };
    SimDevice device(options, memory, log, save);
    const std::string slave_path = terminal.slave_path;
    {
        // The line watches for opens before anyone learns where it is.
        Line line(std::move(terminal), device, options.log);
        if (!options.link_path.empty() && !place_link(options.link_path, slave_path)) {
            std::cerr << "gsm-notifier-sim: cannot place the link " << options.link_path << "\n";
            return 1;
        }
        std::cout << slave_path << std::endl;
        line.run();
    }
    if (!options.link_path.empty()) {
        remove_link(options.link_path, slave_path);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    install_signal_handlers();
    std::string error;
    const auto options = parse_options(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "gsm-notifier-sim: " << error << "\n" << usage_text();
        return 2;
    }
    if (options->help) {
        std::cout << usage_text();
        return 0;
    }
    if (options->version) {
        std::cout << "gsm-notifier-sim " GNC_VERSION "\n";
        return 0;
    }
    return run_simulator(*options);
}
