#include "voice/EXException.h"

#include <cstdio>
#include <new>

namespace {

void CopyCut(char (&dest)[80], const char* text) {
    std::snprintf(dest, sizeof dest, "%s", text ? text : "");
}

}  // namespace

EXException::EXException(const char* message, const char* sourceFile, int32_t line) : m_Line(line) {
    CopyCut(m_Message, message);
    CopyCut(m_SourceFile, sourceFile);
}

void EXException::FormatLine(char* dest, unsigned size) const {
    std::snprintf(dest, size, "%s:%d %s\r\n", m_SourceFile, m_Line, m_Message);
}

void EXException::Raise(const char* message, const char* sourceFile, int32_t line) {
    throw new (std::nothrow) EXException(message, sourceFile, line);
}

void EXException::RaiseCode(const char* format, uint32_t code, const char* sourceFile,
                            int32_t line) {
    char message[80];
    std::snprintf(message, sizeof message, format, code);
    Raise(message, sourceFile, line);
}
