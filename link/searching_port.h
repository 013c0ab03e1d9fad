#pragma once
// The port the main window's box names: one port, or, for "Wszystkie
// porty", every port that opens until the device offers its connect frame on
// one of them. The link controller sees a single port either way: while the
// search runs nothing is sent and nothing is read; the chunk that holds the
// connect frame is handed on unchanged, and from then on the port it came
// from is the port, the others closed at once.
//
// The ports are opened on worker threads, so that a port slow to open (a
// Bluetooth link reaching for its phone) holds neither the window nor the
// other ports. Qt Core; the caller's thread needs an event loop.

#include "link/link_port.h"
#include "link/port_mapping.h"
#include "link/serial_port.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gnc {

class SearchingPort : public LinkPort {
  public:
    // Opens one port of the search on a worker thread; nullptr when it does
    // not open.
    using Opener = std::function<std::unique_ptr<SerialPort>(const QString& device)>;
    // The port names tried by the search, with the device each reaches.
    struct Candidate {
        std::string port_name;
        QString device;
    };
    using Candidates = std::function<std::vector<Candidate>()>;

    SearchingPort();
    ~SearchingPort() override;
    SearchingPort(const SearchingPort&) = delete;
    SearchingPort& operator=(const SearchingPort&) = delete;

    // all_ports_name starts the search; any other name opens that port.
    bool open(const std::string& port_name) override;
    void send(const std::uint8_t* data, std::size_t count) override;
    std::size_t read_available(std::uint8_t* dest, std::size_t limit) override;
    std::string open_failure_text(const std::string& port_name) const override;

    // Releases every port, also those of a search and those still opening.
    void close();
    bool is_open() const { return port_ != nullptr && port_->is_open(); }
    bool searching() const;
    // The name of the port in use: the one opened, or the one on which the
    // device answered the search; empty while searching or closed.
    const std::string& port_name() const { return port_name_; }

    // Called with the port's name when the search has found the device.
    std::function<void(const std::string& port_name)> on_found;

    void set_opener(Opener opener) { opener_ = std::move(opener); }
    void set_candidates(Candidates candidates) { candidates_ = std::move(candidates); }

    // The ports of this machine that the search tries (search_port_names).
    static std::vector<Candidate> candidates_now();

  private:
    struct Search;
    struct Opened;
    bool start_search();
    void take_opened();
    void end_search();
    std::size_t read_search(std::uint8_t* dest, std::size_t limit);

    std::unique_ptr<SerialPort> port_;
    std::string port_name_;
    std::shared_ptr<Search> search_;
    std::vector<Opened> opened_;
    bool opening_ = false;
    Opener opener_;
    Candidates candidates_;
};

} // namespace gnc
