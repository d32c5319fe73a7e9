#include "support/LogCapture.h"

#include <cstdlib>

LogCapture::LogCapture() : m_File(open_memstream(&m_Buffer, &m_Size)) {}

LogCapture::~LogCapture() {
    std::fclose(m_File);
    std::free(m_Buffer);
}

std::string LogCapture::Text() {
    std::fflush(m_File);
    return std::string(m_Buffer, m_Size);
}
