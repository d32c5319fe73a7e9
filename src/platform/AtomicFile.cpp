#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace {

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

bool AtomicFile::Replace(const std::string& path, const void* data, size_t size) {
    // Unique per process and call; open (unlike mkstemp) lets the umask set the permissions.
    static std::atomic<unsigned> counter{0};
    const std::string temporary =
        path + "." + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    bool written = WriteAll(fd, static_cast<const char*>(data), size) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}
