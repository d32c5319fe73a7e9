#pragma once

#include <cstdio>
#include <string>

// An in-memory job log: hand File() to EXParams::m_LogFile and read back what was written.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    FILE* File() { return m_File; }
    std::string Text();

private:
    char* m_Buffer = nullptr;
    size_t m_Size = 0;
    FILE* m_File = nullptr;
};
