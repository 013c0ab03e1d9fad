#include "windows/end_program.h"
#include "windows/end_program_release.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace gnc {

namespace {

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
    release_before_ending();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
    std::_Exit(128 + signal_number);
}

} // namespace

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
