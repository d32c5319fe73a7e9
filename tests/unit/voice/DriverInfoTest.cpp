#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "voice/DriverRegistry.h"
#include "voice/EX5Info.h"

namespace {

struct CategoryCase {
    uint32_t category;
    const char* code;
    const char* name;
};

void PrintTo(const CategoryCase& c, std::ostream* os) {
    *os << c.category;
}

class CategoryTest : public testing::TestWithParam<CategoryCase> {};

TEST_P(CategoryTest, CodeAndName) {
    const EX5Info info;
    EXPECT_STREQ(info.GetCategoryCode(GetParam().category), GetParam().code);
    EXPECT_STREQ(info.GetCategoryName(GetParam().category), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, CategoryTest,
    testing::Values(CategoryCase{0, "--", "No Assign"}, CategoryCase{1, "Pf", "Piano"},
                    CategoryCase{17, "Dr", "Drums"}, CategoryCase{22, "Sq", "Sequence"},
                    CategoryCase{23, "--", "No Assign"}, CategoryCase{255, "--", "No Assign"},
                    CategoryCase{UINT32_MAX, "--", "No Assign"}));

TEST(CategoryTest, EveryCodeHasTwoCharacters) {
    const EX5Info info;
    for (uint32_t category = 0; category < 23; ++category) {
        EXPECT_EQ(std::string(info.GetCategoryCode(category)).size(), 2u) << category;
    }
}

// A descriptor that claims more banks than the table holds.
class WideInfo : public EX5Info {
public:
    int32_t GetBankCount() const override { return 9; }
};

// A descriptor whose count would be huge as an unsigned number.
class NegativeInfo : public EX5Info {
public:
    int32_t GetBankCount() const override { return -1; }
};

TEST(DriverInfoTest, BankNamesFollowTheVirtualCount) {
    const EX5Info ex5;
    const DriverInfo plain;
    const WideInfo wide;
    const NegativeInfo negative;
    EXPECT_STREQ(ex5.GetBankName(0), "Preset1");
    EXPECT_STREQ(ex5.GetBankName(4), "Performance");
    EXPECT_EQ(ex5.GetBankName(5), nullptr);
    EXPECT_EQ(ex5.GetBankName(UINT32_MAX), nullptr);
    EXPECT_EQ(wide.GetBankName(7), nullptr);
    EXPECT_EQ(negative.GetBankName(0), nullptr);
    for (uint32_t index : {0u, 4u}) {
        EXPECT_EQ(plain.GetBankName(index), nullptr);
    }
}

TEST(DriverInfoTest, AnswersOfBothDescriptors) {
    const DriverInfo plain;
    const EX5Info ex5;
    EXPECT_EQ(plain.GetName(), nullptr);
    EXPECT_STREQ(ex5.GetName(), "Yamaha EX5/5R/7");
    EXPECT_EQ(plain.GetBankCount(), 0);
    EXPECT_EQ(ex5.GetBankCount(), 5);
    EXPECT_FALSE(plain.CanSendVoices());
    EXPECT_TRUE(ex5.CanSendVoices());
    EXPECT_EQ(ex5.GetDeviceNumberBase(), 0);
    EXPECT_EQ(plain.GetMinElementCount(), 0);
    EXPECT_EQ(ex5.GetMinElementCount(), 1);
    EXPECT_EQ(plain.GetDumpFormatVersion(), 0);
    EXPECT_EQ(ex5.GetDumpFormatVersion(), 1);
    EXPECT_EQ(ex5.GetVoiceCount(), 256);
}

TEST(DriverRegistryTest, HoldsOneStaticEX5Info) {
    EXPECT_EQ(DriverRegistry::GetDriverCount(), 1u);
    const DriverInfo* first = DriverRegistry::GetDriverInfo(0);
    ASSERT_NE(dynamic_cast<const EX5Info*>(first), nullptr);
    EXPECT_EQ(DriverRegistry::GetDriverInfo(0), first);
    EXPECT_EQ(DriverRegistry::GetDriverInfo(1), nullptr);
    EXPECT_EQ(DriverRegistry::GetDriverInfo(UINT32_MAX), nullptr);
}

}  // namespace
