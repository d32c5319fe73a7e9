#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "LibraryFolder.h"
#include "library/IndexFile.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class IndexFileTest : public LibraryFolder {
protected:
    void SetUp() override { WriteBank("banks/a.s1v", "voice I1-001 Pf \"Alpha\"\n"); }
    // A fresh index over the banks must find the voice, whatever the file held before.
    void ExpectRebuilt(const std::string& formerBytes) {
        VoiceIndex index(kIndexFile);
        index.Update({"banks"});
        EXPECT_EQ(Rows(index, "alpha"), std::vector<std::string>{"banks/a.s1v I1-001 Pf Alpha"});
        const std::string aside = std::string(kIndexFile) + ".broken-1";
        EXPECT_EQ(index.SetAside(), std::vector<std::string>{aside});
        EXPECT_TRUE(Contents(aside) == formerBytes) << "the file set aside was changed";
    }
};

TEST_F(IndexFileTest, FileOfOtherBytesIsSetAsideAndRebuilt) {
    fs::create_directories("cache");
    const std::string garbage(20000, 'x');
    std::ofstream(kIndexFile, std::ios::binary) << garbage;
    ExpectRebuilt(garbage);
}

TEST_F(IndexFileTest, ForeignDatabaseIsSetAsideAndRebuilt) {
    fs::create_directories("cache");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(kIndexFile, &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE bank (x); INSERT INTO bank VALUES (1)", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ExpectRebuilt(Contents(kIndexFile));
}

// Damage found only once the bank table is read: the scan that found it starts afresh.
TEST_F(IndexFileTest, DamagedPageIsSetAsideAndRebuilt) {
    {
        VoiceIndex index(kIndexFile);
        index.Update({"banks"});
    }  // the last connection folds the log back into the file
    ASSERT_FALSE(fs::exists(std::string(kIndexFile) + "-wal"));
    std::string bytes = Contents(kIndexFile);
    ASSERT_GT(bytes.size(), 2u * 16384u);
    std::fill(bytes.begin() + 16384 + 100, bytes.end(), '\xA5');
    std::ofstream(kIndexFile, std::ios::binary) << bytes;
    ExpectRebuilt(bytes);
}

TEST_F(IndexFileTest, SetAsideNeverReplacesAnEarlierOne) {
    fs::create_directories("cache");
    std::ofstream(kIndexFile) << "first";
    EXPECT_EQ(IndexFile::SetAside(kIndexFile), std::string(kIndexFile) + ".broken-1");
    std::ofstream(kIndexFile) << "second";
    EXPECT_EQ(IndexFile::SetAside(kIndexFile), std::string(kIndexFile) + ".broken-2");
    EXPECT_EQ(Contents(std::string(kIndexFile) + ".broken-1"), "first");
    EXPECT_EQ(Contents(std::string(kIndexFile) + ".broken-2"), "second");
}

TEST_F(IndexFileTest, OpensInWalModeUnderTheCacheFolder) {
    m_Folder.PointAt("HOME", "home");
    m_Folder.PointAt("XDG_CACHE_HOME", "xdg");
    EXPECT_EQ(IndexFile::DefaultPath(), Absolute("xdg/Sonavist/voices.sqlite"));
    setenv("XDG_CACHE_HOME", "relative/is/ignored", 1);
    EXPECT_EQ(IndexFile::DefaultPath(), Absolute("home/.cache/Sonavist/voices.sqlite"));
    {
        VoiceIndex index;
        index.Update({"banks"});
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(IndexFile::DefaultPath().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &statement, nullptr);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "wal");
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

}  // namespace
