#include "midi/PortParams.h"

#include <cerrno>
#include <cstdarg>

void PortParams::Log(const char* format, ...) const {
    if (!m_LogFile) {
        return;
    }
    va_list args;
    va_start(args, format);
    if (std::vfprintf(m_LogFile, format, args) < 0) {
        NoteLogError();
    }
    va_end(args);
}

void PortParams::NoteLogError() const {
    if (m_LogError == 0) {
        m_LogError = errno != 0 ? errno : EIO;
    }
}
