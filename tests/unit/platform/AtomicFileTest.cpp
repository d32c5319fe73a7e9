#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

const std::string kBytes = "new bytes\n";

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

// Files other than the ones a case names: a temporary file left behind.
int OtherFiles(std::initializer_list<std::string> named) {
    int others = 0;
    for (const auto& entry : fs::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        others += std::find(named.begin(), named.end(), name) == named.end() ? 1 : 0;
    }
    return others;
}

struct ReplaceCase {
    const char* name;
    std::function<void()> before;  // what stands at "out" and beside it
    const char* written;           // the file that must hold the bytes afterwards
    const char* link;              // a link that must still be a link afterwards, or empty
    mode_t mode;                   // of the written file
};

void PrintTo(const ReplaceCase& c, std::ostream* os) {
    *os << c.name;
}

class AtomicFileTest : public testing::TestWithParam<ReplaceCase> {
protected:
    void SetUp() override { m_Folder.MakeCurrent(); }
    ScratchFolder m_Folder{"atomic-file-" + std::string(GetParam().name)};
};

TEST_P(AtomicFileTest, WritesTheTargetWholeAndKeepsWhatStandsAroundIt) {
    const ReplaceCase& c = GetParam();
    const mode_t mask = umask(022);
    c.before();
    ASSERT_TRUE(AtomicFile::Replace("out", kBytes.data(), kBytes.size())) << std::strerror(errno);
    umask(mask);
    EXPECT_EQ(Read(c.written), kBytes);
    EXPECT_EQ(ModeOf(c.written), c.mode);
    if (*c.link) {
        EXPECT_TRUE(fs::is_symlink(c.link));
    }
    EXPECT_EQ(OtherFiles({"out", "dir", "target", "second"}), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, AtomicFileTest,
    testing::Values(ReplaceCase{"newFile", [] {}, "out", "", 0644},
                    ReplaceCase{"privateFile",
                                [] {
                                    Write("out", "old");
                                    chmod("out", 0600);
                                },
                                "out", "", 0600},
                    ReplaceCase{"executableFile",
                                [] {
                                    Write("out", "a much longer old text than the new one");
                                    chmod("out", 0750);
                                },
                                "out", "", 0750},
                    ReplaceCase{"linkToFile",
                                [] {
                                    Write("target", "old");
                                    chmod("target", 0640);
                                    fs::create_symlink("target", "out");
                                },
                                "target", "out", 0640},
                    ReplaceCase{"linkIntoFolder",
                                [] {
                                    fs::create_directory("dir");
                                    Write("dir/target", "old");
                                    fs::create_symlink("dir/target", "out");
                                },
                                "dir/target", "out", 0644},
                    ReplaceCase{"chainOfLinks",
                                [] {
                                    fs::create_symlink("second", "out");
                                    fs::create_symlink("target", "second");
                                    Write("target", "old");
                                },
                                "target", "second", 0644},
                    ReplaceCase{"danglingLink", [] { fs::create_symlink("target", "out"); },
                                "target", "out", 0644}),
    [](const auto& info) { return std::string(info.param.name); });

class AtomicFileKindTest : public testing::Test {
protected:
    void SetUp() override { m_Folder.MakeCurrent(); }
    ScratchFolder m_Folder{"atomic-file-kinds"};
};

// A named pipe gets the bytes as a redirection would give them, and stays a pipe.
TEST_F(AtomicFileKindTest, ANamedPipeIsWrittenDirectly) {
    ASSERT_EQ(mkfifo("out", 0600), 0);
    const int reader = open("out", O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(AtomicFile::Replace("out", kBytes.data(), kBytes.size()));
    std::string got(64, '\0');
    const ssize_t length = read(reader, got.data(), got.size());
    close(reader);
    ASSERT_GT(length, 0);
    got.resize(static_cast<size_t>(length));
    EXPECT_EQ(got, kBytes);
    EXPECT_EQ(fs::status("out").type(), fs::file_type::fifo);
    // Nothing reads it now: refused at once rather than waiting for a reader for good.
    EXPECT_FALSE(AtomicFile::Replace("out", kBytes.data(), kBytes.size()));
    EXPECT_EQ(errno, ENXIO);
    EXPECT_EQ(fs::status("out").type(), fs::file_type::fifo);
}

TEST_F(AtomicFileKindTest, FailuresLeaveEverythingAsItWas) {
    fs::create_directory("dir");
    errno = 0;
    EXPECT_FALSE(AtomicFile::Replace("dir", kBytes.data(), kBytes.size()));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_TRUE(fs::is_directory("dir"));

    EXPECT_FALSE(AtomicFile::Replace("missing/out", kBytes.data(), kBytes.size()));
    EXPECT_EQ(errno, ENOENT);

    fs::create_symlink("loop", "out");
    fs::create_symlink("out", "loop");
    EXPECT_FALSE(AtomicFile::Replace("out", kBytes.data(), kBytes.size()));
    EXPECT_EQ(errno, ELOOP);
    EXPECT_TRUE(fs::is_symlink("out"));
    EXPECT_EQ(OtherFiles({"dir", "out", "loop"}), 0);
}

}  // namespace
