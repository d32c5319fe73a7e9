#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

// A fresh folder that is the current directory, where the jobs write their log, for as long as
// the object lives; afterwards the previous one is current again and the folder is gone.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : m_Dir(std::filesystem::path(testing::TempDir()) / name),
          m_Previous(std::filesystem::current_path()) {
        std::filesystem::remove_all(m_Dir);
        std::filesystem::create_directories(m_Dir);
        std::filesystem::current_path(m_Dir);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::current_path(m_Previous, ignored);
        std::filesystem::remove_all(m_Dir, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    const std::filesystem::path m_Dir;
    const std::filesystem::path m_Previous;
};
