// Template files on Windows: the same guarantees as on Linux, through the
// wide-character calls. Only a regular disk file loads, and a name that
// Windows maps to a device is never opened.

#include "image/path_text_win.h"
#include "image/template_file_io.h"

#include <windows.h>

namespace gnc::template_io {

namespace {

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

    // True when the handle was closed without an error.
    bool close() {
        if (!valid()) {
            return true;
        }
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

// The wide form of a path that may be opened as a file; nothing for a
// device name or bytes that are not UTF-8.
std::optional<std::wstring> file_path(const std::string& path) {
    if (path.empty() || names_a_device(path)) {
        return std::nullopt;
    }
    return utf16_from_utf8(path);
}

bool is_disk_file(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Reads until `count` bytes arrived or the file ended; -1 on a read error.
long read_up_to(HANDLE file, std::uint8_t* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        if (ReadFile(file, data + done, static_cast<DWORD>(count - done), &got, nullptr) == 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return static_cast<long>(done);
}

bool write_all(HANDLE file, const std::uint8_t* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        DWORD put = 0;
        if (WriteFile(file, data + done, static_cast<DWORD>(count - done), &put, nullptr) == 0 ||
            put == 0) {
            return false;
        }
        done += put;
    }
    return true;
}

std::wstring folder_of(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos) {
        // "C:name" lies in the current folder of drive C:.
        return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : L".";
    }
    return cut == 0 || (cut == 2 && path[1] == L':') ? path.substr(0, cut + 1)
                                                     : path.substr(0, cut);
}

std::wstring joined(const std::wstring& folder, const std::wstring& name) {
    const wchar_t last = folder.empty() ? L'\\' : folder.back();
    return last == L'\\' || last == L'/' || last == L':' ? folder + name : folder + L"\\" + name;
}

// Opens a fresh temporary file in the target's folder under a short name,
// so that a long target name cannot make it too long.
Handle create_temporary(const std::wstring& folder, std::wstring& temp_path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_path = joined(folder, L".template-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                       std::to_wstring(attempt) + L".tmp");
        HANDLE file = CreateFileW(temp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return Handle(file);
        }
    }
    return Handle(INVALID_HANDLE_VALUE);
}

constexpr DWORD kept_attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// An existing template must be a writable file: a read-only one is refused,
// as opening it for writing would be. Its attributes are kept.
bool existing_target_allows_replace(const std::wstring& target, DWORD& attributes) {
    attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// Rewrites an existing template where it lies. Not atomic: used only where
// no file can be created beside it. The bytes are written over the old ones
// before the file is cut to length.
bool rewrite_in_place(const std::wstring& target, const std::uint8_t* data, std::size_t count) {
    Handle file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || !is_disk_file(file.get())) {
        return false;
    }
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(count);
    const bool written = write_all(file.get(), data, count) &&
                         SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) != 0 &&
                         SetEndOfFile(file.get()) != 0 && FlushFileBuffers(file.get()) != 0;
    return file.close() && written;
}

bool cannot_create_in_folder(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
}

} // namespace

long read_regular_file(const std::string& path, std::uint8_t* data, std::size_t count) {
    const auto wide = file_path(path);
    if (!wide) {
        return -1;
    }
    Handle file(CreateFileW(wide->c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || !is_disk_file(file.get())) {
        return -1;
    }
    return read_up_to(file.get(), data, count);
}

bool replace_file(const std::string& path, const std::uint8_t* data, std::size_t count) {
    const auto target = file_path(path);
    if (!target) {
        return false;
    }
    std::wstring temp_path;
    Handle temp = create_temporary(folder_of(*target), temp_path);
    if (!temp.valid()) {
        return cannot_create_in_folder(GetLastError()) && rewrite_in_place(*target, data, count);
    }
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    const bool written = existing_target_allows_replace(*target, attributes) &&
                         write_all(temp.get(), data, count) && FlushFileBuffers(temp.get()) != 0;
    const bool closed = temp.close();
    if (written && closed && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & kept_attributes) != 0) {
        SetFileAttributesW(temp_path.c_str(), attributes & kept_attributes);
    }
    if (!written || !closed ||
        MoveFileExW(temp_path.c_str(), target->c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        DeleteFileW(temp_path.c_str());
        return false;
    }
    return true;
}

} // namespace gnc::template_io
