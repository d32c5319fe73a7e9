#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/ScratchFolder.h"
#include "voice/BankImage.h"
#include "voice/EX5Patch.h"
#include "voice/EXException.h"
#include "voice/VoiceBank.h"

namespace {

using namespace std::string_literals;

std::vector<std::string> Rows(const VoiceBank& bank) {
    std::vector<std::string> rows;
    bank.FillVoiceList([&rows](const std::string& row) { rows.push_back(row); });
    return rows;
}

class VoiceBankTest : public testing::Test {
protected:
    std::string Path(const std::string& name) const { return m_Folder.File(name); }

    // A bank holding the image, loaded through a file of that name.
    VoiceBank Load(const BankImage& image, const std::string& name) const {
        EXPECT_TRUE(image.Write(Path(name)));
        VoiceBank bank;
        bank.LoadBank(Path(name));
        return bank;
    }

    // Runs an action expected to raise; gives the error line without its line end.
    template <typename Action>
    static std::string ErrorOf(Action action) {
        std::string line = "no error";
        EXException::Catch(action, [&](const EXException* error) {
            line = std::string(error->m_SourceFile) + ":" + std::to_string(error->m_Line) + " " +
                   error->m_Message;
        });
        return line;
    }

    ScratchFolder m_Folder{"sonavist-voicebank"};
};

struct RowCase {
    int voice;
    std::string name;  // up to 12 bytes are written, zero bytes too
    uint8_t category;
    const char* row;
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.row;
}

class RowTest : public VoiceBankTest, public testing::WithParamInterface<RowCase> {};

TEST_P(RowTest, RowAndBackToVoice) {
    const RowCase& c = GetParam();
    BankImage image;
    image.SetVoice(c.voice, c.name, c.category);
    const VoiceBank bank = Load(image, "bank.s1v");
    EXPECT_EQ(bank.VoiceRow(c.voice), c.row);
    EXPECT_EQ(VoiceBank::VoiceIndexFromRow(c.row), c.voice);
    EXPECT_EQ(VoiceBank::VoiceIndexFromSlot(std::string(c.row).substr(3, 6)), c.voice);
}

INSTANTIATE_TEST_SUITE_P(Slots, RowTest,
                         testing::Values(RowCase{0, "Grand", 1, "Pf\tI1-001\tGrand"},
                                         RowCase{127, "Last One", 22, "Sq\tI1-128\tLast One"},
                                         RowCase{128, "Kit", 17, "Dr\tI2-001\tKit"},
                                         RowCase{255, "Twelve Chars", 2,
                                                 "Cp\tI2-128\tTwelve Chars"},
                                         RowCase{134, "Nothing", 0, "xx\tI2-007\tNothing"},
                                         RowCase{9, "Out", 23, "xx\tI1-010\tOut"},
                                         RowCase{10, "Far", 255, "xx\tI1-011\tFar"},
                                         RowCase{11, "Short\0Tail"s, 3, "Or\tI1-012\tShort"},
                                         RowCase{13, "\0Hidden Name"s, 3, "Or\tI1-014\t"},
                                         RowCase{12, "", 4, "Gt\tI1-013\t"}));

TEST(VoiceIndexTest, RowsThatNameNoVoice) {
    // Only the bank digit and the number count, whatever the code.
    EXPECT_EQ(VoiceBank::VoiceIndexFromRow("Qq\tI1-128\tAny"), 127);
    EXPECT_EQ(VoiceBank::VoiceIndexFromRow("Qq\tI2-007"), 134);
    for (const char* row : {"", "Pf", "Pf\tI2", "Pf\tI1-01", "Pf\tI1-000\tx", "Pf\tI1-129\tx",
                            "Pf\tI2-999\tx", "Pf\tI1-0a1\tx", "Pf\tI1- 12\tx"}) {
        EXPECT_EQ(VoiceBank::VoiceIndexFromRow(row), -1) << row;
    }
    for (const char* slot :
         {"", "I1-00", "I3-001", "i1-001", "I1-000", "I2-129", "I1_001", "I1-0011", "X1-001"}) {
        EXPECT_EQ(VoiceBank::VoiceIndexFromSlot(slot), -1) << slot;
    }
}

TEST_F(VoiceBankTest, InitVoicesShowOnlyWhenAsked) {
    BankImage image;
    for (int voice = 0; voice < VoiceBank::kVoiceCount; ++voice) {
        image.SetVoice(voice, "Init Voice", 0);
    }
    image.SetVoice(1, "Init Voice  ", 5);
    image.SetVoice(2, "init voice", 5);
    image.SetVoice(3, "Init Voic", 5);
    image.SetVoice(4, "Init VoiceX", 5);
    VoiceBank bank = Load(image, "bank.s1v");
    EXPECT_EQ(Rows(bank),
              (std::vector<std::string>{"Ba\tI1-003\tinit voice", "Ba\tI1-004\tInit Voic"}));
    bank.m_ShowInits = true;
    const std::vector<std::string> all = Rows(bank);
    ASSERT_EQ(all.size(), 256u);
    EXPECT_EQ(all[1], "Ba\tI1-002\tInit Voice  ");
    EXPECT_EQ(all[4], "Ba\tI1-005\tInit VoiceX");
    EXPECT_EQ(all[255], "xx\tI2-128\tInit Voice");
}

struct ElementCase {
    const char* what;
    std::vector<std::array<int, 3>> entries;  // block, voice byte, element byte
    std::array<int, 4> expected;              // for voice 5
};

void PrintTo(const ElementCase& c, std::ostream* os) {
    *os << c.what;
}

class ElementTest : public VoiceBankTest, public testing::WithParamInterface<ElementCase> {};

TEST_P(ElementTest, DirectoryEntries) {
    BankImage image;
    for (const auto& [block, voice, element] : GetParam().entries) {
        image.SetEntry(block, static_cast<uint8_t>(voice), static_cast<uint8_t>(element));
    }
    EXPECT_EQ(Load(image, "bank.s1v").FindElements(5), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Directory, ElementTest,
    testing::Values(
        ElementCase{"none", {}, {-1, -1, -1, -1}},
        ElementCase{"all four, any order",
                    {{900, 5, 3}, {7, 5, 0}, {8, 5, 2}, {1023, 5, 1}},
                    {7, 1023, 8, 900}},
        ElementCase{"free entries never count",
                    {{3, 5, 0x80}, {4, 5, 0x81}, {5, 5, 0xFF}},
                    {-1, -1, -1, -1}},
        ElementCase{"later duplicate wins", {{10, 5, 1}, {20, 5, 1}, {15, 5, 1}}, {-1, 20, -1, -1}},
        ElementCase{"element number 4 and up ignored",
                    {{0, 5, 4}, {1, 5, 7}, {2, 5, 0x7F}, {3, 5, 2}},
                    {-1, -1, 3, -1}},
        ElementCase{"other voices", {{0, 4, 0}, {1, 6, 1}, {2, 0, 2}}, {-1, -1, -1, -1}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        }
        return name;
    });

TEST_F(VoiceBankTest, AssemblesCommonAndElementBlocks) {
    BankImage image;
    image.SetVoice(200, "Brass Stab", 8);
    image.Common(200)[235] = 0x9A;
    image.SetEntry(40, 200, 2);
    std::fill_n(image.Element(40), EX5Patch::kElementSize, 0x42);
    image.SetEntry(41, 200, 0);
    image.Element(41)[0] = 0xFF;  // a block that begins with 0xFF is not in use
    const VoiceBank bank = Load(image, "bank.s1v");

    const std::unique_ptr<EX5Patch> patch = bank.PatchForRow(bank.VoiceRow(200));
    ASSERT_NE(patch, nullptr);
    EXPECT_STREQ(patch->GetPatchName(), "AssemblPatch");
    EXPECT_STREQ(patch->GetCategoryCode(), "--");
    EXPECT_EQ(0, std::memcmp(patch->m_Common.data(), image.Common(200), EX5Patch::kCommonSize));
    EXPECT_EQ(0,
              std::memcmp(patch->m_Elements[2].data(), image.Element(40), EX5Patch::kElementSize));
    for (int unused : {0, 1, 3}) {
        EXPECT_EQ(patch->m_Elements[unused][0], EX5Patch::kUnusedElement) << unused;
    }
    patch->BuildDump();
    EXPECT_EQ(patch->GetUsedElementCount(), 1);
    EXPECT_EQ(patch->GetDumpLength(), 435u);
}

TEST_F(VoiceBankTest, RowsThatCannotBeSent) {
    BankImage image;
    image.SetVoice(0, "Empty", 1);  // no element in use
    image.SetVoice(1, "Blocked", 1);
    image.SetEntry(0, 1, 0);
    image.Element(0)[0] = 0xFF;
    image.SetVoice(2, "Kit", 17);
    image.SetEntry(1, 2, 0);
    const VoiceBank bank = Load(image, "bank.s1v");

    EXPECT_EQ(bank.PatchForRow(bank.VoiceRow(2)), nullptr);
    EXPECT_TRUE(VoiceBank::IsDrumRow(bank.VoiceRow(2)));
    for (const std::string& row : {bank.VoiceRow(0), bank.VoiceRow(1), std::string("Pf\tI1")}) {
        EX5Patch patch("AssemblPatch", 0);
        EXPECT_FALSE(bank.AssemblePatch(patch, row)) << row;
        EXPECT_EQ(ErrorOf([&] { bank.PatchForRow(row); }),
                  "SonavistDlg.cpp:1252 Problem assembling patch.")
            << row;
    }
}

struct LoadCase {
    const char* what;
    long size;  // -1: no such file, -2: a folder, -3: a named pipe with no writer
    const char* error;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.what;
}

class LoadTest : public VoiceBankTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, AllOrNothing) {
    const LoadCase& c = GetParam();
    BankImage before;
    before.SetVoice(0, "Before", 1);
    VoiceBank bank = Load(before, "before.s1v");

    BankImage after;
    after.SetVoice(0, "After", 2);
    const std::string path = Path("after.s1v");
    if (c.size == -2) {
        std::filesystem::create_directory(path);
    } else if (c.size == -3) {
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    } else if (c.size >= 0) {
        ASSERT_TRUE(after.Write(path, static_cast<size_t>(c.size)));
    }
    EXPECT_EQ(ErrorOf([&] { bank.LoadBank(path); }), c.error);
    EXPECT_EQ(bank.VoiceRow(0),
              std::string(c.error) == "no error" ? "Cp\tI1-001\tAfter" : "Pf\tI1-001\tBefore");
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadTest,
    testing::Values(LoadCase{"exact", VoiceBank::kBankSize, "no error"},
                    LoadCase{"padded", VoiceBank::kBankSize * 2 + 17, "no error"},
                    LoadCase{"missing", -1, "SonavistDlg.cpp:1118 Cannot open input file #1"},
                    LoadCase{"folder", -2, "SonavistDlg.cpp:1124 Cannot read voice file #1"},
                    LoadCase{"pipe", -3, "SonavistDlg.cpp:1118 Cannot open input file #1"},
                    LoadCase{"empty", 0, "SonavistDlg.cpp:1124 Cannot read voice file #1"},
                    LoadCase{"short", VoiceBank::kBankSize - 1,
                             "SonavistDlg.cpp:1124 Cannot read voice file #1"}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
