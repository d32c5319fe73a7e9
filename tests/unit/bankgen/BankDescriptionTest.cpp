#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "BankDescription.h"
#include "support/ScratchFolder.h"
#include "voice/VoiceBank.h"

namespace {

struct BadCase {
    const char* text;
    const char* error;
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.error;
}

class BadDescriptionTest : public testing::TestWithParam<BadCase> {};

TEST_P(BadDescriptionTest, NamesLineAndProblem) {
    std::istringstream in(GetParam().text);
    std::string error;
    EXPECT_FALSE(BankDescription::Parse(in, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Problems, BadDescriptionTest,
    testing::Values(BadCase{"# c\nvoice I3-001 Pf \"x\"", "line 2: slot must be I1-001 to I2-128"},
                    BadCase{"voice I1-001 Zz \"x\"", "line 1: unknown category Zz"},
                    BadCase{"voice I1-001 256 \"x\"", "line 1: unknown category 256"},
                    BadCase{"voice I1-001 Pf \"Thirteen char\"",
                            "line 1: name must be quoted and at most 12 characters"},
                    BadCase{"voice I1-001 Pf x",
                            "line 1: name must be quoted and at most 12 characters"},
                    BadCase{"voice I1-001 Pf \"a\"\nvoice I1-001 Ba \"b\"",
                            "line 2: slot I1-001 described twice"},
                    BadCase{"element 0 1", "line 1: element before any voice"},
                    BadCase{"voice I1-001 Pf \"a\"\nelement 4 1",
                            "line 2: element takes a number 0-3 and a seed"},
                    BadCase{"voice I1-001 Pf \"a\"\nelement 0 1\nelement 0 2",
                            "line 3: element 0 described twice"},
                    BadCase{"voice I1-001 Pf \"a\"\ncommon -1", "line 2: common takes one seed"},
                    BadCase{"voices I1-001 Pf \"a\"", "line 1: unknown keyword voices"}));

TEST(BankDescriptionTest, BuildsALoadableBank) {
    std::istringstream in(
        "voice I2-128 Dr \"Kit  \"  # trailing blanks are kept\n"
        "element 3 7\n"
        "element 1 0\n"
        "voice I1-001 xx \"Init Voice\"\n");
    std::string error;
    const auto description = BankDescription::Parse(in, error);
    ASSERT_TRUE(description) << error;
    const auto image = description->BuildImage(error);
    ASSERT_TRUE(image) << error;
    ASSERT_EQ(image->Bytes().size(), VoiceBank::kBankSize);

    const ScratchFolder folder("sonavist-bankgen");
    const std::string path = folder.File("bankgen-test.s1v");
    ASSERT_TRUE(image->Write(path));
    VoiceBank bank;
    bank.LoadBank(path);
    EXPECT_EQ(bank.VoiceRow(255), "Dr\tI2-128\tKit  ");
    EXPECT_EQ(bank.FindElements(255), (std::array<int, 4>{-1, 1, -1, 0}));
    std::vector<std::string> rows;
    bank.FillVoiceList([&rows](const std::string& row) { rows.push_back(row); });
    EXPECT_EQ(rows, std::vector<std::string>{"Dr\tI2-128\tKit  "});
}

}  // namespace
