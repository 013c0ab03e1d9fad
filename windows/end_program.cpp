#include "windows/end_program.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace gnc {

namespace {

std::function<void()>& replacement() {
    static std::function<void()> hook;
    return hook;
}

std::function<void()>& release_action() {
    static std::function<void()> release;
    return release;
}

void release_now() {
    if (release_action()) {
        release_action()();
    }
}

constexpr int ending_signals[] = {SIGTERM, SIGINT, SIGHUP};

// The signal handler only writes the signal's number into this pipe; the
// event loop reads it and does the rest.
int signal_pipe[2] = {-1, -1};
volatile std::sig_atomic_t signal_pending = 0;

void on_ending_signal(int signal_number) {
    if (signal_pending != 0) {
        std::signal(signal_number, SIG_DFL);
        std::raise(signal_number);
        return;
    }
    signal_pending = 1;
    const unsigned char byte = static_cast<unsigned char>(signal_number);
    [[maybe_unused]] const ssize_t written = ::write(signal_pipe[1], &byte, 1);
}

void end_by_signal(int signal_number) {
    std::fflush(nullptr);
    release_now();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
    std::_Exit(128 + signal_number);
}

} // namespace

void end_program_now() {
    // Leaving through the event loops would first unwind every open modal
    // window and run their closing handlers; the program is to end at once.
    std::fflush(nullptr);
    release_now();
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

void release_at_program_end(std::function<void()> release) {
    release_action() = std::move(release);
}

void release_on_ending_signals() {
    if (signal_pipe[0] >= 0 || ::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    auto* notifier =
        new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        unsigned char byte = 0;
        if (::read(signal_pipe[0], &byte, 1) == 1) {
            end_by_signal(byte);
        }
    });
    struct sigaction action {};
    action.sa_handler = on_ending_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal_number : ending_signals) {
        ::sigaction(signal_number, &action, nullptr);
    }
}

void ignore_file_size_signal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace gnc
