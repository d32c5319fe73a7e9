#include "platform/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int StandardOutput::Checked(int status, const char* program) {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) {
        return status;
    }
    const int reason = errno != 0 ? errno : EIO;
    std::fprintf(stderr, "%s: cannot write standard output: %s\n", program, std::strerror(reason));
    return status == 0 ? 1 : status;
}
