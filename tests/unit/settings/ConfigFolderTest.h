#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/RegistryFile.h"

// Points XDG_CONFIG_HOME and HOME at a fresh temporary folder for each test.
class ConfigFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "sonavist-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_Temporary = pattern;
        setenv("XDG_CONFIG_HOME", (m_Temporary / "config").c_str(), 1);
        setenv("HOME", (m_Temporary / "home").c_str(), 1);
    }

    void TearDown() override { std::filesystem::remove_all(m_Temporary); }

    std::filesystem::path FileOf(const std::string& root) const {
        return m_Temporary / "config" / "Sonavist" / (root + ".reg");
    }

    void WriteMachineFile(const std::string& text) const {
        std::filesystem::create_directories(FileOf("").parent_path());
        std::ofstream(FileOf("HKEY_LOCAL_MACHINE"), std::ios::binary) << text;
    }

    std::string ReadFile(const std::string& root) const {
        std::ostringstream text;
        text << std::ifstream(FileOf(root), std::ios::binary).rdbuf();
        return text.str();
    }

    // Makes the settings folder impossible to create or write, even for root.
    void BlockConfigFolder() const {
        std::filesystem::create_directories(m_Temporary / "config");
        std::ofstream(m_Temporary / "config" / "Sonavist") << "in the way";
    }

    std::filesystem::path m_Temporary;
};
