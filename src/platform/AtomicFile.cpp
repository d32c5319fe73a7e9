#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <optional>

namespace {

// As many links as the system itself follows before it reports a loop.
constexpr int kMaxLinks = 40;

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Closes the descriptor, keeping the errno of an earlier failure.
bool CloseAfter(int fd, bool ok) {
    const int saved = errno;
    const bool closed = close(fd) == 0;
    if (!ok) {
        errno = saved;
    }
    return ok && closed;
}

// The path a chain of symbolic links ends at, which need not exist; none for a loop or an
// unreadable link.
std::optional<std::string> FinalPath(std::string path) {
    for (int links = 0; links < kMaxLinks; ++links) {
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return path;
        }
        std::string target(static_cast<size_t>(status.st_size) + 1, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<size_t>(length) >= target.size()) {
            return std::nullopt;
        }
        target.resize(static_cast<size_t>(length));
        const size_t slash = path.rfind('/');
        path = target.starts_with('/') || slash == std::string::npos
                   ? target
                   : path.substr(0, slash + 1) + target;
    }
    errno = ELOOP;
    return std::nullopt;
}

// A device or a named pipe takes the bytes as a shell redirection would give them, except that a
// pipe nothing reads fails at once instead of holding the program.
bool WriteInPlace(const std::string& path, const char* data, size_t size) {
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool blocking = fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
    return CloseAfter(fd, blocking && WriteAll(fd, data, size));
}

// A new file beside the target, with the target's mode and owner when it exists, renamed over it.
bool WriteBeside(const std::string& path, const struct stat* existing, const char* data,
                 size_t size) {
    // Unique per process and call; open (unlike mkstemp) lets the umask set a new file's mode.
    static std::atomic<unsigned> counter{0};
    const std::string temporary =
        path + "." + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    bool written = true;
    if (existing) {
        // Only root may give a file away; anyone else keeps their own.
        static_cast<void>(fchown(fd, existing->st_uid, existing->st_gid));
        written = fchmod(fd, existing->st_mode & 07777) == 0;
    }
    written = written && WriteAll(fd, data, size) && fsync(fd) == 0;
    written = CloseAfter(fd, written);
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        unlink(temporary.c_str());
        errno = saved;
        return false;
    }
    return true;
}

}  // namespace

bool AtomicFile::Replace(const std::string& path, const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    struct stat status {};
    const bool exists = stat(path.c_str(), &status) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    if (exists && S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if (exists && !S_ISREG(status.st_mode)) {
        return WriteInPlace(path, bytes, size);
    }
    const std::optional<std::string> target = FinalPath(path);
    return target && WriteBeside(*target, exists ? &status : nullptr, bytes, size);
}
