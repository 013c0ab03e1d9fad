#include "image/template_file_io.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace gnc::template_io {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }

    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}

    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    bool valid() const { return fd_ >= 0; }

    // True when the descriptor was closed without an error.
    bool close() {
        if (fd_ < 0) {
            return true;
        }
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

  private:
    int fd_;
};

// Reads until `count` bytes arrived or the file ended; -1 on a read error.
long read_up_to(int fd, std::uint8_t* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, data + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long>(done);
}

bool write_all(int fd, const std::uint8_t* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, data + done, count - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

std::string folder_of(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A save through a symbolic link replaces the file it points to and keeps the
// link; a link that points nowhere yet creates the file it names. Links are
// followed one by one, a relative one from the folder that holds it.
std::string resolved_target(const std::string& path) {
    constexpr int link_limit = 40;
    std::string target = path;
    for (int hop = 0; hop < link_limit; ++hop) {
        struct stat link_info {};
        if (::lstat(target.c_str(), &link_info) != 0 || !S_ISLNK(link_info.st_mode)) {
            return target;
        }
        char destination[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), destination, sizeof destination - 1);
        if (length <= 0) {
            return target;
        }
        const std::string next(destination, static_cast<std::size_t>(length));
        target = next.front() == '/' ? next : folder_of(target) + "/" + next;
    }
    return target;
}

// Opens a fresh temporary file in the target's folder, under a short name so
// that a long target name cannot make it too long. The mode 0666 lets the
// umask decide the permissions, as creating the target directly would.
FileDescriptor create_temporary(const std::string& folder, std::string& temp_path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_path = folder + "/.template-" + std::to_string(::getpid()) + "-" +
                    std::to_string(attempt) + ".tmp";
        const int fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return FileDescriptor(fd);
        }
    }
    return FileDescriptor(-1);
}

// An existing template keeps its permissions; one that may not be written
// is refused, as opening it for writing would be.
bool take_over_existing_mode(const std::string& target, int temp_fd) {
    struct stat target_info {};
    if (::stat(target.c_str(), &target_info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISREG(target_info.st_mode) || ::access(target.c_str(), W_OK) != 0) {
        return false;
    }
    return ::fchmod(temp_fd, target_info.st_mode & 07777) == 0;
}

void sync_folder(const std::string& folder) {
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) {
        ::fsync(dir.get()); // best effort: the rename itself already happened
    }
}

// Only a regular file is a template. Opening without blocking keeps a named
// pipe or a terminal from holding the caller until someone writes to it; the
// kind is then checked on the opened descriptor itself.
FileDescriptor open_regular_file(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileDescriptor(-1);
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return FileDescriptor(-1);
    }
    return FileDescriptor(file.release());
}

} // namespace

long read_regular_file(const std::string& path, std::uint8_t* data, std::size_t count) {
    FileDescriptor file = open_regular_file(path);
    return file.valid() ? read_up_to(file.get(), data, count) : -1;
}

namespace {

// Rewrites an existing template where it lies. Not atomic: used only where
// no file can be created beside it (a shared folder that the user may not
// write, holding a template that the user may). The bytes are written over
// the old ones before the file is cut to length, so a short old file is the
// only one that a failed write can leave changed.
bool rewrite_in_place(const std::string& target, const std::uint8_t* data, std::size_t count) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    FileDescriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (!file.valid()) {
        return false;
    }
    const bool written = write_all(file.get(), data, count) &&
                         ::ftruncate(file.get(), static_cast<off_t>(count)) == 0 &&
                         ::fsync(file.get()) == 0;
    return file.close() && written;
}

bool cannot_create_in_folder(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

} // namespace

bool replace_file(const std::string& path, const std::uint8_t* data, std::size_t count) {
    const std::string target = resolved_target(path);
    std::string temp_path;
    FileDescriptor temp = create_temporary(folder_of(target), temp_path);
    if (!temp.valid()) {
        return cannot_create_in_folder(errno) && rewrite_in_place(target, data, count);
    }
    const bool written = take_over_existing_mode(target, temp.get()) &&
                         write_all(temp.get(), data, count) && ::fsync(temp.get()) == 0;
    const bool closed = temp.close();
    if (!written || !closed || ::rename(temp_path.c_str(), target.c_str()) != 0) {
        ::unlink(temp_path.c_str());
        return false;
    }
    sync_folder(folder_of(target));
    return true;
}

} // namespace gnc::template_io
