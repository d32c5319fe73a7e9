#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "BankDescription.h"
#include "library/VoiceIndex.h"
#include "support/ScratchFolder.h"
#include "voice/VoiceBank.h"

// A scratch folder (the current directory) with bank files written from descriptions and the
// index file beside them.
class LibraryFolder : public testing::Test {
protected:
    static constexpr const char* kIndexFile = "cache/voices.sqlite";

    static void WriteBank(const std::filesystem::path& path, const std::string& description) {
        std::istringstream in(description);
        std::string error;
        const auto parsed = BankDescription::Parse(in, error);
        ASSERT_TRUE(parsed) << error;
        const auto image = parsed->BuildImage(error);
        ASSERT_TRUE(image) << error;
        std::filesystem::create_directories(std::filesystem::absolute(path).parent_path());
        ASSERT_TRUE(image->Write(path.string()));
    }

    static std::string Absolute(const std::string& path) {
        return std::filesystem::absolute(path).lexically_normal().string();
    }

    // "path slot name" of every voice the query finds.
    static std::vector<std::string> Rows(VoiceIndex& index, const std::string& text,
                                         const std::vector<std::string>& folders = {"banks"}) {
        VoiceQuery query;
        query.text = text;
        query.folders = folders;
        return Rows(index.Find(query));
    }
    static std::vector<std::string> Rows(const std::vector<VoiceMatch>& matches) {
        std::vector<std::string> rows;
        const std::string base = Absolute(".");
        for (const VoiceMatch& match : matches) {
            rows.push_back(std::filesystem::path(match.path).lexically_relative(base).string() +
                           ' ' + VoiceBank::SlotOfVoice(match.slot) + ' ' + match.code + ' ' +
                           match.name);
        }
        return rows;
    }

    static std::string FolderName() {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("library-") + test->test_suite_name() + "-" + test->name();
        std::replace(name.begin(), name.end(), '/', '-');
        return name;
    }

    LibraryFolder() { m_Folder.MakeCurrent(); }

    ScratchFolder m_Folder{FolderName()};
};
