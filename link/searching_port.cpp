#include "link/searching_port.h"

#include "link/frames.h"
#include "link/port_choices.h"
#include "link/serial_devices.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>
#include <mutex>

namespace gnc {

namespace {

// How long the connect action waits for the first port of a search to open
// (the window keeps painting and the timers ticking meanwhile). Ports still
// opening then join the search when they are ready.
constexpr int first_open_wait_ms = 2000;
constexpr unsigned long open_poll_ms = 5;

std::unique_ptr<SerialPort> open_quietly(const QString& device) {
    auto port = std::make_unique<SerialPort>();
    if (!port->open_device(device, false)) {
        return nullptr;
    }
    return port;
}

} // namespace

struct SearchingPort::Opened {
    std::string port_name;
    std::unique_ptr<SerialPort> port;
};

// What the worker threads share with the port: the ports they opened, not
// yet taken over, and how many are still opening. A worker that finishes
// after the search has ended closes its port itself.
struct SearchingPort::Search {
    std::mutex mutex;
    std::vector<Opened> handed_over;
    int still_opening = 0;
    bool ended = false;
};

SearchingPort::SearchingPort() : opener_(open_quietly), candidates_(candidates_now) {}

SearchingPort::~SearchingPort() {
    close();
}

std::vector<SearchingPort::Candidate> SearchingPort::candidates_now() {
    const PortSources sources = port_sources_now();
    std::vector<Candidate> candidates;
    for (const std::string& name :
         search_port_names(sources, port_naming(), probe_device, same_device)) {
        candidates.push_back(
            {name, QString::fromStdString(choose_port_device(name, sources).device)});
    }
    return candidates;
}

bool SearchingPort::open(const std::string& port_name) {
    close();
    if (port_name == all_ports_name) {
        return start_search();
    }
    port_ = std::make_unique<SerialPort>();
    if (!port_->open(port_name)) {
        return false;
    }
    port_name_ = port_name;
    return true;
}

void SearchingPort::close() {
    end_search();
    port_.reset();
    port_name_.clear();
}

bool SearchingPort::searching() const {
    return search_ != nullptr;
}

std::string SearchingPort::open_failure_text(const std::string& port_name) const {
    return port_name == all_ports_name ? std::string(no_port_opens_text)
                                       : LinkPort::open_failure_text(port_name);
}

// Every candidate starts opening on a thread of its own. The call returns
// once one has opened (true), all have failed (false), or the wait is over
// while some are still opening (true: they may yet open).
bool SearchingPort::start_search() {
    auto search = std::make_shared<Search>();
    search_ = search;
    QThread* const home = QThread::currentThread();
    const std::vector<Candidate> candidates = candidates_();
    search->still_opening = static_cast<int>(candidates.size());
    for (const Candidate& candidate : candidates) {
        QThread* worker = QThread::create([search, candidate, home, opener = opener_] {
            std::unique_ptr<SerialPort> port = opener(candidate.device);
            const std::lock_guard<std::mutex> lock(search->mutex);
            --search->still_opening;
            if (port == nullptr || search->ended) {
                return; // a port opened too late is closed here, on its own thread
            }
            port->move_to_thread(home);
            search->handed_over.push_back({candidate.port_name, std::move(port)});
        });
        QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
        worker->start();
    }
    opening_ = true;
    const QDeadlineTimer deadline(first_open_wait_ms);
    while (!deadline.hasExpired()) {
        take_opened();
        if (!opened_.empty()) {
            break;
        }
        {
            const std::lock_guard<std::mutex> lock(search->mutex);
            if (search->still_opening == 0) {
                break;
            }
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(open_poll_ms);
    }
    opening_ = false;
    if (!opened_.empty()) {
        return true;
    }
    bool may_yet_open = false;
    {
        const std::lock_guard<std::mutex> lock(search->mutex);
        may_yet_open = search->still_opening > 0;
    }
    if (!may_yet_open) {
        end_search();
    }
    return may_yet_open;
}

void SearchingPort::take_opened() {
    if (search_ == nullptr) {
        return;
    }
    const std::lock_guard<std::mutex> lock(search_->mutex);
    for (Opened& opened : search_->handed_over) {
        opened_.push_back(std::move(opened));
    }
    search_->handed_over.clear();
}

// Every port of the search is closed, also those a worker has not handed
// over yet; the workers still opening close theirs when they finish.
void SearchingPort::end_search() {
    if (search_ == nullptr) {
        return;
    }
    std::vector<Opened> left;
    {
        const std::lock_guard<std::mutex> lock(search_->mutex);
        search_->ended = true;
        left = std::move(search_->handed_over);
    }
    left.clear();
    opened_.clear();
    search_.reset();
}

void SearchingPort::send(const std::uint8_t* data, std::size_t count) {
    if (port_ != nullptr) {
        port_->send(data, count);
    }
}

std::size_t SearchingPort::read_available(std::uint8_t* dest, std::size_t limit) {
    if (port_ != nullptr) {
        return port_->read_available(dest, limit);
    }
    if (search_ == nullptr || opening_) {
        return 0;
    }
    return read_search(dest, limit);
}

// Each opened port is read in turn. What a port sent before the device's
// connect frame is dropped, and `dest` keeps what it held; the first port
// whose chunk starts with the connect frame becomes the port, and that chunk
// goes to the caller as read.
std::size_t SearchingPort::read_search(std::uint8_t* dest, std::size_t limit) {
    take_opened();
    std::vector<std::uint8_t> chunk(limit);
    for (auto it = opened_.begin(); it != opened_.end(); ++it) {
        const std::size_t got = it->port->read_available(chunk.data(), limit);
        if (!is_connect_frame(chunk.data(), got)) {
            continue;
        }
        std::copy_n(chunk.begin(), got, dest);
        port_ = std::move(it->port);
        port_name_ = it->port_name;
        end_search();
        if (on_found) {
            on_found(port_name_);
        }
        return got;
    }
    return 0;
}

} // namespace gnc
