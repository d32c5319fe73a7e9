#include "conversation/EXParams.h"

#include <cstdarg>

EXParams::EXParams() = default;

void EXParams::Log(const char* format, ...) const {
    if (!m_LogFile) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(m_LogFile, format, args);
    va_end(args);
}
