// The machine's side of the port mapping on Windows: the environment and the
// ports file under %APPDATA%, and the COM ports the system knows, with their
// friendly names from the device manager's data (SetupAPI), else from the
// registry's list of serial ports, else only the DOS device names.

#include "link/serial_devices.h"

#include "link/comm_win.h"
#include "link/port_listing_win.h"

// The GUIDs of devguid.h and knownfolders.h are defined here rather than
// taken from a library: initguid.h comes before them.
// clang-format off
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <knownfolders.h>
#include <setupapi.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <cwctype>

namespace gnc {

namespace {

// More than any ports file needs; a larger file is read only this far.
constexpr std::size_t ports_file_limit = 64 * 1024;

std::string environment_value(const std::string& variable) {
    const std::wstring name = comm::to_wide(variable);
    const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), size);
    value.resize(length < size ? length : 0);
    return comm::to_utf8(value);
}

std::string roaming_app_data() {
    std::string folder = environment_value("APPDATA");
    if (!folder.empty()) {
        return folder;
    }
    wchar_t* known = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known) == S_OK) {
        folder = comm::to_utf8(known);
    }
    CoTaskMemFree(known);
    return folder;
}

// Reads a file on disk only: a pipe or a device put in the file's place would
// otherwise block or never end.
std::string read_small_file(const std::string& path, std::size_t limit) {
    const HANDLE file = CreateFileW(comm::to_wide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string text;
    if (GetFileType(file) == FILE_TYPE_DISK) {
        char chunk[4096];
        DWORD got = 0;
        while (text.size() < limit && ReadFile(file, chunk, sizeof chunk, &got, nullptr) &&
               got > 0) {
            text.append(chunk, got);
        }
    }
    CloseHandle(file);
    return text.substr(0, limit);
}

std::wstring registry_text(HKEY key, const wchar_t* name) {
    DWORD type = 0;
    wchar_t value[512] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return std::wstring(value);
}

// A text property of a device; the first string of a list.
std::wstring device_property(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property) {
    wchar_t value[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, property, nullptr,
                                           reinterpret_cast<BYTE*>(value),
                                           sizeof value - 2 * sizeof(wchar_t), nullptr)) {
        return {};
    }
    return std::wstring(value);
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "USB\VID_1A86&PID_7523&REV_0254" -> "1a86:7523".
std::string vid_pid_of(const std::string& hardware_id) {
    const std::string id = upper(hardware_id);
    const std::size_t vid = id.find("VID_");
    const std::size_t pid = id.find("PID_");
    if (vid == std::string::npos || pid == std::string::npos || vid + 8 > id.size() ||
        pid + 8 > id.size()) {
        return {};
    }
    std::string text = id.substr(vid + 4, 4) + ":" + id.substr(pid + 4, 4);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<SerialDevice> ports_of_device_manager() {
    std::vector<SerialDevice> ports;
    const HDEVINFO set =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return ports;
    }
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &info); ++index) {
        const HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            continue;
        }
        SerialDevice port;
        port.device = upper(comm::to_utf8(registry_text(key, L"PortName")));
        RegCloseKey(key);
        if (!com_port_number(port.device)) {
            continue; // the printer ports share the class
        }
        port.product = comm::to_utf8(device_property(set, info, SPDRP_FRIENDLYNAME));
        port.maker = comm::to_utf8(device_property(set, info, SPDRP_MFG));
        const std::string hardware_id = comm::to_utf8(device_property(set, info, SPDRP_HARDWAREID));
        port.vid_pid = vid_pid_of(hardware_id);
        port.is_usb = !port.vid_pid.empty() || upper(hardware_id).rfind("USB\\", 0) == 0;
        port.is_bluetooth = upper(hardware_id).rfind("BTHENUM\\", 0) == 0 ||
                            upper(port.product).find("BLUETOOTH") != std::string::npos;
        ports.push_back(port);
    }
    SetupDiDestroyDeviceInfoList(set);
    return ports;
}

std::vector<SerialDevice> ports_of_registry() {
    std::vector<SerialDevice> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return ports;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256] = {};
        DWORD name_size = 255;
        wchar_t value[64] = {};
        DWORD value_size = sizeof value - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, name, &name_size, nullptr, &type,
                                          reinterpret_cast<BYTE*>(value), &value_size);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result == ERROR_SUCCESS && type == REG_SZ) {
            SerialDevice port;
            port.device = upper(comm::to_utf8(value));
            // "\Device\BthModem0": the system's Bluetooth serial link.
            port.is_bluetooth = upper(comm::to_utf8(name)).find("BTHMODEM") != std::string::npos;
            if (com_port_number(port.device)) {
                ports.push_back(port);
            }
        }
    }
    RegCloseKey(key);
    return ports;
}

// The DOS device names: every COM port the system (or Wine) maps, also those
// without a driver's entry.
std::vector<std::string> dos_com_names() {
    std::vector<wchar_t> names(64 * 1024);
    DWORD length = 0;
    while ((length = QueryDosDeviceW(nullptr, names.data(), static_cast<DWORD>(names.size()))) ==
               0 &&
           GetLastError() == ERROR_INSUFFICIENT_BUFFER && names.size() < 4 * 1024 * 1024) {
        names.resize(names.size() * 2);
    }
    std::vector<std::string> found;
    for (const wchar_t* name = names.data(); length > 0 && *name != L'\0';
         name += std::wcslen(name) + 1) {
        const std::string text = upper(comm::to_utf8(name));
        if (com_port_number(text)) {
            found.push_back(text);
        }
    }
    return found;
}

void add_missing(std::vector<SerialDevice>& ports, const SerialDevice& port) {
    if (find_serial_device(ports, port.device) == nullptr) {
        ports.push_back(port);
    }
}

int port_number_or_max(const SerialDevice& port) {
    return com_port_number(port.device).value_or(1 << 30);
}

// "COM3" and "\\.\COM3" both name the DOS device COM3.
std::wstring dos_name_of(const std::string& device) {
    std::wstring name = comm::to_wide(device);
    if (name.rfind(L"\\\\.\\", 0) == 0) {
        name.erase(0, 4);
    }
    return name;
}

bool device_exists(const std::string& device) {
    const std::wstring name = dos_name_of(device);
    if (name.empty()) {
        return false;
    }
    if (name.find_first_of(L"\\/:") == std::wstring::npos) {
        wchar_t target[1024] = {};
        return QueryDosDeviceW(name.c_str(), target, 1024) != 0;
    }
    return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::string ports_file_path() {
    return roaming_app_data() + "\\gsm-notifier-config\\ports.conf";
}

std::vector<SerialDevice> serial_devices_now() {
    std::vector<SerialDevice> ports = ports_of_device_manager();
    for (const SerialDevice& port : ports_of_registry()) {
        add_missing(ports, port);
    }
    for (const std::string& name : dos_com_names()) {
        SerialDevice port;
        port.device = name;
        add_missing(ports, port);
    }
    std::stable_sort(ports.begin(), ports.end(), [](const SerialDevice& a, const SerialDevice& b) {
        return port_number_or_max(a) < port_number_or_max(b);
    });
    return ports;
}

PortSources machine_port_sources() {
    PortSources sources;
    sources.environment = environment_value;
    sources.file = parse_ports_file(read_small_file(ports_file_path(), ports_file_limit));
    sources.devices = serial_devices_now();
    sources.default_device = [](int number) { return "COM" + std::to_string(number); };
    return sources;
}

DeviceState probe_device(const std::string& device) {
    return DeviceState{device_exists(device), std::nullopt};
}

std::string port_listing_now(const std::string& program) {
    return windows_port_listing(port_sources_now(), {program, ports_file_path(), probe_device});
}

bool same_device(const std::string& a, const std::string& b) {
    return upper(comm::to_utf8(dos_name_of(a))) == upper(comm::to_utf8(dos_name_of(b)));
}

PortNaming port_naming() {
    return PortNaming::com_numbers;
}

// The device, its friendly name or absence, and why it did not open when it
// last failed to: "COM3 (Communications Port (COM3)): port zajęty przez inny
// program".
QString port_tooltip(const std::string& port_name, const PortSources& sources) {
    const std::string device = choose_port_device(port_name, sources).device;
    const DeviceState state = probe_device(device);
    std::string text = port_tooltip_text(sources, port_name, state);
    const std::optional<DWORD> failure = comm::last_open_failure(device);
    // A device that is gone already reads "brak urządzenia".
    if (failure && state.exists) {
        text += ": " + comm::open_failure_words(device, *failure);
    }
    return QString::fromStdString(text);
}

} // namespace gnc
