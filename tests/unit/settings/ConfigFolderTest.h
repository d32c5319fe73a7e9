#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/RegistryFile.h"
#include "support/ScratchFolder.h"

// Points XDG_CONFIG_HOME and HOME at a fresh temporary folder for each test.
class ConfigFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Folder.PointAt("XDG_CONFIG_HOME", "config");
        m_Folder.PointAt("HOME", "home");
    }

    std::filesystem::path FileOf(const std::string& root) const {
        return m_Folder.Path() / "config" / "Sonavist" / (root + ".reg");
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
        std::filesystem::create_directories(m_Folder.Path() / "config");
        std::ofstream(m_Folder.Path() / "config" / "Sonavist") << "in the way";
    }

    ScratchFolder m_Folder{"sonavist-config"};
};
