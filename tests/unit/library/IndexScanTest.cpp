#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LibraryFolder.h"

namespace {

namespace fs = std::filesystem;

std::string OneVoice(const std::string& name) {
    return "voice I1-001 Pf \"" + name + "\"\ncommon 7\nelement 0 9\n";
}

class IndexScanTest : public LibraryFolder {
protected:
    // Writes a bank whose only voice has this name; its time moves on, as an editor's save does.
    void Save(const std::string& path, const std::string& name) {
        const bool existed = fs::exists(path);
        const auto before = existed ? fs::last_write_time(path) : fs::file_time_type();
        WriteBank(path, OneVoice(name));
        if (existed) {
            fs::last_write_time(path, before + std::chrono::seconds(1));
        }
    }

    ScanReport Scan() { return m_Index.Update({"banks"}); }

    std::vector<std::string> Problems() {
        std::vector<std::string> lines;
        const std::string base = Absolute(".");
        for (const ScanProblem& problem : m_Index.Problems({"banks"})) {
            lines.push_back(fs::path(problem.path).lexically_relative(base).string() + ": " +
                            problem.text);
        }
        return lines;
    }

    VoiceIndex m_Index{kIndexFile};
};

TEST_F(IndexScanTest, ReadsOnlyWhatChanged) {
    Save("banks/a.s1v", "Alpha");
    Save("banks/b.S1V", "Beta");
    Save("banks/deep/er/c.s1v", "Gamma");
    Save("banks/not-a-bank.txt", "Delta");
    ScanReport report = Scan();
    EXPECT_EQ(report.read, 3u);
    EXPECT_EQ(Rows(m_Index, ""),
              (std::vector<std::string>{"banks/a.s1v I1-001 Pf Alpha", "banks/b.S1V I1-001 Pf Beta",
                                        "banks/deep/er/c.s1v I1-001 Pf Gamma"}));

    report = Scan();
    EXPECT_EQ(report.read, 0u);
    EXPECT_EQ(report.unchanged, 3u);

    Save("banks/a.s1v", "Alpha Two");                        // changed
    Save("banks/d.s1v", "Epsilon");                          // added
    fs::remove("banks/b.S1V");                               // removed
    fs::rename("banks/deep/er/c.s1v", "banks/deep/c2.s1v");  // renamed
    report = Scan();
    EXPECT_EQ(report.read, 3u);
    EXPECT_EQ(report.unchanged, 0u);
    EXPECT_EQ(report.removed, 2u);
    EXPECT_EQ(Rows(m_Index, ""), (std::vector<std::string>{"banks/a.s1v I1-001 Pf Alpha Two",
                                                           "banks/d.s1v I1-001 Pf Epsilon",
                                                           "banks/deep/c2.s1v I1-001 Pf Gamma"}));
}

TEST_F(IndexScanTest, ProblemsAreRecordedAndLookedAtAgain) {
    Save("banks/good.s1v", "Good");
    std::ofstream("banks/short.s1v") << "too short";
    fs::create_symlink("nowhere.s1v", "banks/dangling.s1v");
    ASSERT_EQ(mkfifo("banks/pipe.s1v", 0600), 0);
    Save("banks/Folder.s1v/inner.s1v", "Inner");
    const ScanReport report = Scan();
    EXPECT_TRUE(report.folderProblems.empty());
    EXPECT_EQ(Problems(), (std::vector<std::string>{"banks/dangling.s1v: Not a regular file",
                                                    "banks/pipe.s1v: Not a regular file",
                                                    "banks/short.s1v: Cannot read voice file #1"}));
    EXPECT_EQ(Rows(m_Index, ""),
              (std::vector<std::string>{"banks/Folder.s1v/inner.s1v I1-001 Pf Inner",
                                        "banks/good.s1v I1-001 Pf Good"}));

    // A problem keeps no time to compare: the file is tried again, and a mended one is read.
    const auto time = fs::last_write_time("banks/short.s1v");
    Save("banks/short.s1v", "Mended");
    fs::last_write_time("banks/short.s1v", time);
    EXPECT_EQ(Scan().read, 3u);
    EXPECT_EQ(Rows(m_Index, "mended"),
              (std::vector<std::string>{"banks/short.s1v I1-001 Pf Mended"}));
    EXPECT_EQ(Problems().size(), 2u);
}

TEST_F(IndexScanTest, UnreadableFileIsAProblem) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads any file";
    }
    Save("banks/locked.s1v", "Locked");
    fs::permissions("banks/locked.s1v", fs::perms::none);
    Scan();
    EXPECT_EQ(Problems(),
              (std::vector<std::string>{"banks/locked.s1v: Cannot open input file #1"}));
}

TEST_F(IndexScanTest, SymbolicLinkLoopEnds) {
    Save("banks/a.s1v", "Alpha");
    fs::create_directory_symlink("..", "banks/up");
    fs::create_directory_symlink(".", "banks/self");
    EXPECT_EQ(Scan().read, 1u);
    EXPECT_EQ(Rows(m_Index, ""), (std::vector<std::string>{"banks/a.s1v I1-001 Pf Alpha"}));
}

TEST_F(IndexScanTest, MissingFolderIsAProblemAndEmptiesItsPart) {
    Save("banks/a.s1v", "Alpha");
    Scan();
    fs::rename("banks", "elsewhere");
    const ScanReport report = Scan();
    ASSERT_EQ(report.folderProblems.size(), 1u);
    EXPECT_EQ(report.folderProblems[0].text, "Cannot open folder: No such file or directory");
    EXPECT_EQ(report.removed, 1u);
    EXPECT_TRUE(Rows(m_Index, "").empty());
}

TEST_F(IndexScanTest, CancelledScanWritesNothingHalfDone) {
    Save("banks/a.s1v", "Alpha");
    const std::atomic<bool> cancel{true};
    ScanControl control;
    control.cancel = &cancel;
    EXPECT_TRUE(m_Index.Update({"banks"}, control).cancelled);
    EXPECT_TRUE(Rows(m_Index, "").empty());
    EXPECT_EQ(Scan().read, 1u);
}

// Two programs making the same index at once, each then searching it: both see every bank, and
// the file stays whole.
TEST_F(IndexScanTest, TwoProcessesScanningAtOnce) {
    constexpr int kBanks = 150;  // more than two batches, so the writers interleave
    for (int bank = 0; bank < kBanks; ++bank) {
        Save("banks/" + std::to_string(bank) + ".s1v", "Bank " + std::to_string(bank));
    }
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool good = true;
            try {
                VoiceIndex index(kIndexFile);
                for (int round = 0; round < 3; ++round) {
                    index.Update({"banks"});
                    good = good && Rows(index, "").size() == kBanks && index.SetAside().empty();
                }
            } catch (...) {
                good = false;
            }
            _exit(good ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Scan().unchanged, static_cast<size_t>(kBanks));
    EXPECT_EQ(Rows(m_Index, "bank 14").size(), 11u);  // 14 and 140 to 149
    EXPECT_TRUE(m_Index.SetAside().empty());
    EXPECT_FALSE(fs::exists(std::string(kIndexFile) + ".broken-1"));
}

}  // namespace
