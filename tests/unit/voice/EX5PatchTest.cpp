#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "voice/EX5Parser.h"
#include "voice/EX5Patch.h"

namespace {

std::vector<uint8_t> Dump(EX5Patch& patch) {
    const uint8_t* dump = patch.BuildDump();
    return std::vector<uint8_t>(dump, dump + patch.GetDumpLength());
}

// A patch whose blocks are all zero, with the first `used` elements in use.
EX5Patch ZeroPatch(int used) {
    EX5Patch patch("AssemblPatch", 0);
    for (int element = used; element < 4; ++element) {
        patch.m_Elements[element][0] = EX5Patch::kUnusedElement;
    }
    return patch;
}

struct GoldenCase {
    int used;
    size_t length;
    uint8_t countHigh;
    uint8_t countLow;
    uint8_t checksum;
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.used << " elements";
}

class GoldenDumpTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenDumpTest, ZeroVoice) {
    const GoldenCase& c = GetParam();
    EX5Patch patch = ZeroPatch(c.used);
    const std::vector<uint8_t> dump = Dump(patch);
    EXPECT_EQ(patch.GetUsedElementCount(), c.used);
    ASSERT_EQ(dump.size(), c.length);
    std::vector<uint8_t> expected = {0xF0, 0x43, 0x00, 0x5B, c.countHigh, c.countLow, 0x40, 0, 0};
    expected.resize(c.length - 2, 0);
    expected.push_back(c.checksum);
    expected.push_back(0xF7);
    EXPECT_EQ(dump, expected);
}

INSTANTIATE_TEST_SUITE_P(Elements, GoldenDumpTest,
                         testing::Values(GoldenCase{1, 435, 0x03, 0x28, 0x15},
                                         GoldenCase{2, 587, 0x04, 0x40, 0x7C},
                                         GoldenCase{3, 739, 0x05, 0x58, 0x63},
                                         GoldenCase{4, 891, 0x06, 0x70, 0x4A}));

TEST(EX5PatchTest, HighBitOfFirstByteGoesToFirstGroupByte) {
    EX5Patch patch = ZeroPatch(1);
    patch.m_Common[0] = 0x80;
    const std::vector<uint8_t> dump = Dump(patch);
    EXPECT_EQ(dump[9], 0x00);
    EXPECT_EQ(dump[16], 0x01);
}

TEST(EX5PatchTest, FinalGroupIsPaddedWithZeros) {
    EX5Patch patch = ZeroPatch(1);
    patch.m_Elements[0][EX5Patch::kElementSize - 1] = 0x81;
    const std::vector<uint8_t> dump = Dump(patch);
    const std::vector<uint8_t> tail(dump.end() - 10, dump.end());
    EXPECT_EQ(tail, (std::vector<uint8_t>{0, 0, 0, 0x01, 0, 0, 0, 0x08, 0x0C, 0xF7}));
}

// Every source byte lands in the group position its place in the stream gives it, also where a
// group straddles the common block and an element, or two elements.
TEST(EX5PatchTest, GroupsRunOnAcrossBlocks) {
    EX5Patch patch = ZeroPatch(4);
    for (size_t i = 0; i < EX5Patch::kCommonSize; ++i) {
        patch.m_Common[i] = static_cast<uint8_t>(i * 37 + 11);
    }
    std::vector<uint8_t> source(patch.m_Common.begin(), patch.m_Common.end());
    for (auto& element : patch.m_Elements) {
        for (size_t i = 0; i < element.size(); ++i) {
            element[i] = static_cast<uint8_t>(i * 91 + source.size());
        }
        source.insert(source.end(), element.begin(), element.end());
    }
    const std::vector<uint8_t> dump = Dump(patch);
    for (size_t i = 0; i < source.size(); ++i) {
        const size_t group = 9 + i / 7 * 8;
        const size_t k = i % 7;
        ASSERT_EQ(dump[group + k], source[i] & 0x7F) << i;
        ASSERT_EQ((dump[group + 7] >> k) & 1, source[i] >> 7) << i;
    }
    EXPECT_EQ(EX5Parser().Checksum(&dump[4], dump.size() - 5) & 0x7F, 0);
}

TEST(EX5PatchTest, UnusedElementsLeaveNoGap) {
    EX5Patch patch("AssemblPatch", 0);
    patch.m_Elements[0].fill(0x11);
    patch.m_Elements[1][0] = EX5Patch::kUnusedElement;
    patch.m_Elements[2].fill(0x22);
    patch.m_Elements[3][0] = EX5Patch::kUnusedElement;
    const std::vector<uint8_t> dump = Dump(patch);
    EXPECT_EQ(patch.GetUsedElementCount(), 2);
    ASSERT_EQ(dump.size(), 587u);
    EXPECT_EQ(dump[4], 0x04);
    EXPECT_EQ(dump[5], 0x40);
    // Source byte 236 + 132 is the first byte of element 2.
    const size_t i = EX5Patch::kCommonSize + EX5Patch::kElementSize;
    EXPECT_EQ(dump[9 + i / 7 * 8 + i % 7], 0x22);
    EXPECT_EQ(dump[9 + (i - 1) / 7 * 8 + (i - 1) % 7], 0x11);
}

struct ChecksumCase {
    std::vector<uint8_t> bytes;
    uint8_t checksum;
};

void PrintTo(const ChecksumCase& c, std::ostream* os) {
    *os << c.bytes.size() << " bytes";
}

class ChecksumTest : public testing::TestWithParam<ChecksumCase> {};

TEST_P(ChecksumTest, MakesLowSevenBitsZero) {
    const auto& bytes = GetParam().bytes;
    EXPECT_EQ(EX5Parser().Checksum(bytes.data(), bytes.size()), GetParam().checksum);
}

INSTANTIATE_TEST_SUITE_P(Sums, ChecksumTest,
                         testing::Values(ChecksumCase{{}, 0}, ChecksumCase{{0x80}, 0},
                                         ChecksumCase{{0x01}, 0x7F}, ChecksumCase{{0x7F}, 0x01},
                                         ChecksumCase{{0xFF, 0xFF, 0x03}, 0x7F},
                                         ChecksumCase{{0x03, 0x28, 0x40}, 0x15}));

struct NameCase {
    const char* given;
    const char* stored;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << '"' << c.given << '"';
}

class PatchNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(PatchNameTest, TidiedOnConstruction) {
    EXPECT_STREQ(EX5Patch(GetParam().given, 0).GetPatchName(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Names, PatchNameTest,
                         testing::Values(NameCase{" Warm Pad\t", "Warm Pad"},
                                         NameCase{"Bell\x01Tree", "Bell Tree"},
                                         NameCase{"\t \r\n", ""},
                                         NameCase{"AssemblPatch", "AssemblPatch"}));

TEST(EX5PatchTest, CategoryKeepsLowEightBits) {
    const EX5Patch piano("p", 0x101);
    EXPECT_STREQ(piano.GetCategoryCode(), "Pf");
    EXPECT_STREQ(piano.GetCategoryName(), "Piano");
    const EX5Patch none("AssemblPatch", 0);
    EXPECT_STREQ(none.GetCategoryCode(), "--");
    EXPECT_STREQ(none.GetCategoryName(), "No Assign");
}

TEST(EX5PatchTest, WriteNameLine) {
    char text[64] = {};
    FILE* file = fmemopen(text, sizeof text, "w");
    ASSERT_NE(file, nullptr);
    EX5Patch(" Lead ", 0).WriteName(file);
    std::fclose(file);
    EXPECT_STREQ(text, "Name Lead \r\n");
}

}  // namespace
