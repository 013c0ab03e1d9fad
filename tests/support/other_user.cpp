#include "tests/support/other_user.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace gnc::test {

namespace {

// Exit status of a child that did not get to run the code; its reason is
// in the note pipe.
constexpr int not_run = 125;

void write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written <= 0 && errno != EINTR) {
            return;
        }
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
}

[[noreturn]] void give_up(int note, const std::string& reason) {
    write_all(note, reason);
    _exit(not_run);
}

std::string system_error(const char* call) {
    return std::string(call) + ": " + std::strerror(errno);
}

void become(const OtherUser& user, int note) {
    if (!user.changes_user) {
        return;
    }
    const std::string who = "user " + std::to_string(user.user);
    const char* failed = setgroups(0, nullptr) != 0 ? "setgroups"
                         : setgid(user.group) != 0  ? "setgid"
                         : setuid(user.user) != 0   ? "setuid"
                                                    : nullptr;
    if (failed != nullptr) {
        give_up(note, "cannot change to " + who + " here (" + system_error(failed) + ")");
    }
    if (setuid(0) == 0) {
        give_up(note, "the child kept root's rights after changing to " + who);
    }
}

void check_reachable(const std::vector<std::string>& folders, int note) {
    for (const std::string& folder : folders) {
        if (access(folder.c_str(), X_OK) != 0) {
            give_up(note, "user " + std::to_string(getuid()) + " may not enter " + folder + " (" +
                              system_error("access") + ")");
        }
    }
}

[[noreturn]] void run_child(const OtherUser& user, const std::function<int()>& code,
                            const std::vector<std::string>& reachable, int error_pipe, int note) {
    become(user, note);
    check_reachable(reachable, note);
    ::close(note);
    std::fflush(stderr);
    dup2(error_pipe, STDERR_FILENO);
    ::close(error_pipe);
    int result = not_run;
    try {
        result = code();
    } catch (...) {
        std::fputs("the code run as another user threw\n", stderr);
    }
    std::fflush(stderr);
    _exit(result & 0xFF);
}

// Reads both pipes until the child closes them or the time is up; returns
// false when the time ran out.
bool read_until_closed(int error_pipe, int note, std::string& error_output, std::string& note_text,
                       int limit_ms) {
    using clock = std::chrono::steady_clock;
    const clock::time_point deadline = clock::now() + std::chrono::milliseconds(limit_ms);
    pollfd fds[2] = {{error_pipe, POLLIN, 0}, {note, POLLIN, 0}};
    std::string* texts[2] = {&error_output, &note_text};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
        if (left.count() <= 0) {
            return false;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            return false;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char chunk[4096];
            const ssize_t got = ::read(fds[i].fd, chunk, sizeof chunk);
            if (got > 0) {
                texts[i]->append(chunk, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                fds[i].fd = -1; // closed: poll ignores a negative descriptor
            }
        }
    }
    return true;
}

} // namespace

OtherUser unprivileged_user() {
    OtherUser user;
    user.user = getuid();
    user.group = getgid();
    if (geteuid() != 0) {
        return user;
    }
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr) {
        user.unavailable = "running as root and there is no user 'nobody' to run as without "
                           "root's rights";
        return user;
    }
    user.user = nobody->pw_uid;
    user.group = nobody->pw_gid;
    user.changes_user = true;
    user.unavailable = run_as(user, [] { return 0; }).unavailable;
    return user;
}

ChildRun run_as(const OtherUser& user, const std::function<int()>& code,
                const std::vector<std::string>& reachable, int limit_ms) {
    ChildRun run;
    int error_pipe[2];
    int note[2];
    if (pipe2(error_pipe, O_CLOEXEC) != 0) {
        run.unavailable = system_error("pipe2");
        return run;
    }
    if (pipe2(note, O_CLOEXEC) != 0) {
        run.unavailable = system_error("pipe2");
        ::close(error_pipe[0]);
        ::close(error_pipe[1]);
        return run;
    }
    std::fflush(nullptr); // the child must not write out what the parent has buffered
    const pid_t child = fork();
    if (child == 0) {
        ::close(error_pipe[0]);
        ::close(note[0]);
        run_child(user, code, reachable, error_pipe[1], note[1]);
    }
    ::close(error_pipe[1]);
    ::close(note[1]);
    std::string note_text;
    const bool ended = child > 0 && read_until_closed(error_pipe[0], note[0], run.error_output,
                                                      note_text, limit_ms);
    ::close(error_pipe[0]);
    ::close(note[0]);
    if (child < 0) {
        run.unavailable = system_error("fork");
        return run;
    }
    if (!ended) {
        kill(child, SIGKILL);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!note_text.empty()) {
        run.unavailable = note_text;
    } else if (ended && WIFEXITED(status)) {
        run.exit_code = WEXITSTATUS(status);
    }
    return run;
}

std::string folder_reachable_by(const OtherUser& user, const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        if (!folder.empty() && run_as(user, [] { return 0; }, {folder}).exit_code == 0) {
            return folder;
        }
    }
    return {};
}

} // namespace gnc::test
