#pragma once

#include <stdexcept>
#include <string>

// A failed SQLite call: its message and its primary result code.
class SqliteError : public std::runtime_error {
public:
    SqliteError(const std::string& message, int code) : std::runtime_error(message), m_Code(code) {}

    // The file is damaged or is no database at all: set it aside and start afresh.
    bool IsDamagedFile() const;

    int m_Code;
};
