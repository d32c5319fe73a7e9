#include "midi/PortParams.h"

#include <cstdarg>

void PortParams::Log(const char* format, ...) const {
    if (!m_LogFile) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(m_LogFile, format, args);
    va_end(args);
}
