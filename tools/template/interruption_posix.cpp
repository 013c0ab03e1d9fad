#include "tools/template/interruption.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace gnc::cli {

namespace {

volatile std::sig_atomic_t caught_signal = 0;
int wake_pipe[2] = {-1, -1};

// Only async-signal-safe calls here: note the signal, wake the event loop.
void on_signal(int number) {
    caught_signal = number;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wake_pipe[1], &byte, 1);
}

} // namespace

void watch_for_interruption() {
    if (::pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // without the pipe the default actions stay
    }
    auto* notifier =
        new QSocketNotifier(wake_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char drained[16];
        while (::read(wake_pipe[0], drained, sizeof drained) > 0) {
        }
        QCoreApplication::exit(1); // leaves every running event loop
    });
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(number, &action, nullptr);
    }
}

void throw_if_interrupted() {
    if (caught_signal != 0) {
        throw Interrupted{};
    }
}

void end_by_interrupting_signal() {
    const int number = caught_signal != 0 ? static_cast<int>(caught_signal) : SIGTERM;
    std::signal(number, SIG_DFL);
    std::raise(number);
    std::_Exit(128 + number);
}

void ignore_file_size_signal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace gnc::cli
