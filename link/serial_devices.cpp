#include "link/serial_devices.h"
#include "link/serial_devices_posix.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/serial.h>
#include <pwd.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gnc {

namespace {

// More than any ports file needs; a larger file is read only this far.
constexpr std::size_t ports_file_limit = 64 * 1024;

std::string environment_value(const std::string& variable) {
    const char* value = std::getenv(variable.c_str());
    return value == nullptr ? std::string() : std::string(value);
}

std::string home_folder() {
    std::string home = environment_value("HOME");
    if (home.empty()) {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
    }
    return home;
}

std::string canonical(const std::string& path) {
    const QString resolved = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved.toStdString();
}

// Reads a regular file only: a FIFO or a device put in the file's place would
// otherwise block or never end.
std::string read_small_file(const std::string& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    std::string text;
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        char chunk[4096];
        ssize_t got = 0;
        while (text.size() < limit && (got = ::read(fd, chunk, sizeof chunk)) > 0) {
            text.append(chunk, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return text.substr(0, limit);
}

// Target of each /dev/serial/by-id link -> the link.
std::map<std::string, std::string> by_id_links() {
    std::map<std::string, std::string> links;
    const QDir folder(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files)) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty()) {
            links.emplace(target.toStdString(), link.absoluteFilePath().toStdString());
        }
    }
    return links;
}

std::string vid_pid_text(const QSerialPortInfo& info) {
    if (!info.hasVendorIdentifier() || !info.hasProductIdentifier()) {
        return {};
    }
    return QStringLiteral("%1:%2")
        .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
        .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
        .toStdString();
}

bool is_built_in_uart(const std::string& device) {
    return canonical(device).rfind("/dev/ttyS", 0) == 0;
}

// TIOCGSERIAL gives a built-in UART's chip type; a name without hardware
// behind it reports PORT_UNKNOWN. Nothing where the device cannot be asked.
std::optional<bool> uart_answers(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    serial_struct info{};
    const bool asked = ioctl(fd, TIOCGSERIAL, &info) == 0;
    ::close(fd);
    if (!asked) {
        return std::nullopt;
    }
    return info.type != PORT_UNKNOWN;
}

SerialDevice device_from(const QSerialPortInfo& info,
                         const std::map<std::string, std::string>& links) {
    SerialDevice device;
    device.device = info.systemLocation().toStdString();
    if (const auto link = links.find(canonical(device.device)); link != links.end()) {
        device.by_id = link->second;
    }
    device.maker = info.manufacturer().toStdString();
    device.product = info.description().toStdString();
    device.serial_number = info.serialNumber().toStdString();
    device.vid_pid = vid_pid_text(info);
    device.is_usb = info.hasVendorIdentifier() || device.device.rfind("/dev/ttyUSB", 0) == 0 ||
                    device.device.rfind("/dev/ttyACM", 0) == 0;
    // Qt checks the chip only behind some drivers' UARTs: ask each one.
    if (is_built_in_uart(device.device)) {
        device.is_real_hardware = uart_answers(device.device).value_or(true);
    }
    return device;
}

bool device_exists(const std::string& device) {
    struct stat info {};
    return ::stat(device.c_str(), &info) == 0;
}

// Qt leaves out a built-in UART it cannot open or that has no chip. COM1's
// default must know which: a name that cannot be asked counts as a real port,
// so the old default stays where nothing is known.
void add_first_uart(std::vector<SerialDevice>& devices) {
    const std::string uart = built_in_device_for(1);
    if (find_serial_device(devices, uart) != nullptr || !device_exists(uart)) {
        return;
    }
    SerialDevice device;
    device.device = uart;
    device.is_real_hardware = uart_answers(uart).value_or(true);
    device.listed_by_system = false;
    devices.push_back(device);
}

// The lock file that Qt's serial port (and other programs keeping the old
// UUCP custom) puts beside a device it opens.
std::vector<std::string> lock_file_candidates(const std::string& device) {
    std::vector<std::string> names;
    for (const std::string& path : {device, canonical(device)}) {
        std::string name = path.rfind("/dev/", 0) == 0 ? path.substr(5) : path;
        std::replace(name.begin(), name.end(), '/', '_');
        for (const char* folder :
             {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp"}) {
            names.push_back(std::string(folder) + "/LCK.." + name);
        }
        names.push_back(QDir::tempPath().toStdString() + "/LCK.." + name);
    }
    return names;
}

int pid_in_lock_file(const std::string& path) {
    const std::string text = read_small_file(path, 128);
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos || text[start] < '0' || text[start] > '9') {
        return 0;
    }
    return std::atoi(text.c_str() + start);
}

bool process_runs(int pid) {
    return kill(pid, 0) == 0 || errno == EPERM;
}

std::string process_name(int pid) {
    std::string name = read_small_file("/proc/" + std::to_string(pid) + "/comm", 64);
    while (!name.empty() && (name.back() == '\n' || name.back() == ' ')) {
        name.pop_back();
    }
    return name;
}

// A process with `device` open, where /proc lets us see it (a program that
// takes no lock file, as ModemManager and brltty do not).
int process_holding(const std::string& device) {
    const QString target = QString::fromStdString(canonical(device));
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (!numeric || pid == getpid()) {
            continue;
        }
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(entry));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::Files)) {
            if (fd.symLinkTarget() == target) {
                return pid;
            }
        }
    }
    return 0;
}

bool find_lock_holder(const std::string& device, OpenFailure& failure) {
    for (const std::string& lock : lock_file_candidates(device)) {
        const int pid = pid_in_lock_file(lock);
        if (pid > 0) {
            failure.holder_pid = pid;
            failure.lock_file = lock;
            failure.problem = process_runs(pid) ? OpenProblem::busy : OpenProblem::stale_lock;
            return true;
        }
    }
    return false;
}

} // namespace

std::string ports_file_path() {
    std::string folder = environment_value("XDG_CONFIG_HOME");
    if (folder.empty() || folder.front() != '/') {
        folder = home_folder() + "/.config";
    }
    return folder + "/gsm-notifier-config/ports.conf";
}

std::vector<SerialDevice> serial_devices_now() {
    const std::map<std::string, std::string> links = by_id_links();
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        devices.push_back(device_from(info, links));
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.device < b.device; });
    add_first_uart(devices);
    return devices;
}

PortSources machine_port_sources() {
    PortSources sources;
    sources.environment = environment_value;
    sources.file = parse_ports_file(read_small_file(ports_file_path(), ports_file_limit));
    sources.devices = serial_devices_now();
    return sources;
}

DeviceState probe_device(const std::string& device) {
    DeviceState state;
    state.exists = device_exists(device);
    if (state.exists && is_built_in_uart(device)) {
        state.real_hardware = uart_answers(device);
    }
    return state;
}

std::string port_listing_now(const std::string& program) {
    return port_listing(port_sources_now(), {program, ports_file_path(), probe_device});
}

bool same_device(const std::string& a, const std::string& b) {
    return canonical(a) == canonical(b);
}

PortNaming port_naming() {
    return PortNaming::device_paths;
}

QString port_tooltip(const std::string& port_name, const PortSources& sources) {
    const std::string device = choose_port_device(port_name, sources).device;
    return QString::fromStdString(
        port_tooltip_text(sources, port_name, DeviceState{device_exists(device), std::nullopt}));
}

OpenFailure diagnose_open_failure(const std::string& device, QSerialPort::SerialPortError error,
                                  int system_error, const std::string& error_text) {
    OpenFailure failure;
    failure.device = device;
    failure.system_text = error_text;
    if (error == QSerialPort::DeviceNotFoundError || !device_exists(device)) {
        failure.problem = OpenProblem::missing;
    } else if (find_lock_holder(device, failure)) {
        failure.holder_name = process_name(failure.holder_pid);
    } else if (system_error == EACCES ||
               (error == QSerialPort::PermissionError && system_error != EBUSY &&
                access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES)) {
        failure.problem = OpenProblem::permission;
    } else if (system_error == EBUSY || error == QSerialPort::PermissionError) {
        failure.problem = OpenProblem::busy;
        failure.holder_pid = process_holding(device);
        failure.holder_name = failure.holder_pid > 0 ? process_name(failure.holder_pid) : "";
    }
    return failure;
}

} // namespace gnc
