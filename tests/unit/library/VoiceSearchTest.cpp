#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "LibraryFolder.h"
#include "library/BankReader.h"

namespace {

// Two banks; "Copy" in the second carries the same data as "Velvet Grand" in the first.
constexpr const char* kFirst = R"(
voice I1-001 Pf "Velvet Grand"
common 1
element 0 101
voice I1-002 St "GRAND Strngs"
common 2
element 0 102
element 1 103
voice I1-003 Pf "grandish"
common 3
voice I1-010 xx "Uncat"
voice I1-020 Pf "Init Voice"
voice I1-021 Pf "Init Voicexx"
voice I1-022 Pf "init voice"
voice I1-030 Pf "Caf)"
                               "\xE9"
                               R"("
voice I2-128 Dr "Kit"
common 4
element 0 104
)";

constexpr const char* kSecond = R"(
voice I1-005 Pf "Copy"
common 1
element 0 101
voice I1-006 St "Velvet Grand"
common 1
element 0 101
element 1 105
)";

struct SearchCase {
    const char* label;
    const char* text;
    const char* category;
    bool showInits;
    const char* sameAsSlot;  // of the first bank, or none
    std::vector<std::string> folders;
    std::vector<std::string> rows;
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << c.label;
}

class VoiceSearchTest : public LibraryFolder, public testing::WithParamInterface<SearchCase> {};

TEST_P(VoiceSearchTest, FindsTheVoicesOfTheQuery) {
    WriteBank("banks/A.s1v", kFirst);
    WriteBank("banks/sub/B.s1v", kSecond);
    VoiceIndex index(kIndexFile);
    index.Update({"banks"});
    const SearchCase& c = GetParam();
    VoiceQuery query;
    query.text = c.text;
    query.category = c.category;
    query.showInits = c.showInits;
    query.folders = c.folders;
    if (c.sameAsSlot) {
        const BankRecord record = BankReader::Read("banks/A.s1v");
        query.sameAs = record.voices[VoiceBank::VoiceIndexFromSlot(c.sameAsSlot)].fingerprint;
    }
    EXPECT_EQ(Rows(index.Find(query)), c.rows);
}

const std::vector<std::string> kBanks = {"banks"};
const std::vector<std::string> kAllOfFirst = {
    "banks/A.s1v I1-001 Pf Velvet Grand", "banks/A.s1v I1-002 St GRAND Strngs",
    "banks/A.s1v I1-003 Pf grandish",     "banks/A.s1v I1-010 xx Uncat",
    "banks/A.s1v I1-022 Pf init voice",   "banks/A.s1v I1-030 Pf Caf\xE9",
    "banks/A.s1v I2-128 Dr Kit"};

const std::vector<std::string> kEvery = [] {
    std::vector<std::string> rows = kAllOfFirst;
    rows.push_back("banks/sub/B.s1v I1-005 Pf Copy");
    rows.push_back("banks/sub/B.s1v I1-006 St Velvet Grand");
    return rows;
}();

INSTANTIATE_TEST_SUITE_P(
    Queries, VoiceSearchTest,
    testing::Values(
        SearchCase{"case and substring",
                   "GrAnD",
                   "",
                   false,
                   nullptr,
                   kBanks,
                   {"banks/A.s1v I1-001 Pf Velvet Grand", "banks/A.s1v I1-002 St GRAND Strngs",
                    "banks/A.s1v I1-003 Pf grandish", "banks/sub/B.s1v I1-006 St Velvet Grand"}},
        SearchCase{
            "spans a blank",
            "t g",
            "",
            false,
            nullptr,
            kBanks,
            {"banks/A.s1v I1-001 Pf Velvet Grand", "banks/sub/B.s1v I1-006 St Velvet Grand"}},
        // Names sit side by side in the index: the end of one and the start of the next never
        // make a match.
        SearchCase{"never across two names", "strngsgr", "", false, nullptr, kBanks, {}},
        SearchCase{"whole twelve bytes",
                   "grand strngs",
                   "",
                   false,
                   nullptr,
                   kBanks,
                   {"banks/A.s1v I1-002 St GRAND Strngs"}},
        SearchCase{"only ASCII letters fold", "CAF\xC9", "", false, nullptr, kBanks, {}},
        SearchCase{"Latin-1 byte as it is",
                   "\xE9",
                   "",
                   false,
                   nullptr,
                   kBanks,
                   {"banks/A.s1v I1-030 Pf Caf\xE9"}},
        SearchCase{"empty text, one folder",
                   "",
                   "",
                   false,
                   nullptr,
                   {"banks/./sub/"},
                   {"banks/sub/B.s1v I1-005 Pf Copy", "banks/sub/B.s1v I1-006 St Velvet Grand"}},
        SearchCase{"folder given twice",
                   "copy",
                   "",
                   false,
                   nullptr,
                   {"banks", "banks/sub"},
                   {"banks/sub/B.s1v I1-005 Pf Copy"}},
        SearchCase{"folder that is only a prefix", "", "", false, nullptr, {"banks/su"}, {}},
        SearchCase{"inits left out", "", "", false, nullptr, {"banks/sub/../A.s1v/.."}, kEvery},
        SearchCase{"inits shown",
                   "init",
                   "Pf",
                   true,
                   nullptr,
                   kBanks,
                   {"banks/A.s1v I1-020 Pf Init Voice", "banks/A.s1v I1-021 Pf Init Voicexx",
                    "banks/A.s1v I1-022 Pf init voice"}},
        SearchCase{"category", "", "Dr", false, nullptr, kBanks, {"banks/A.s1v I2-128 Dr Kit"}},
        SearchCase{
            "uncategorised", "", "xx", false, nullptr, kBanks, {"banks/A.s1v I1-010 xx Uncat"}},
        SearchCase{"same data whatever the name",
                   "",
                   "",
                   false,
                   "I1-001",
                   kBanks,
                   {"banks/A.s1v I1-001 Pf Velvet Grand", "banks/sub/B.s1v I1-005 Pf Copy"}},
        SearchCase{"same data and text",
                   "cop",
                   "",
                   false,
                   "I1-001",
                   kBanks,
                   {"banks/sub/B.s1v I1-005 Pf Copy"}},
        SearchCase{"same data, inits hidden", "", "", false, "I1-050", kBanks, {}}));

TEST_F(LibraryFolder, InitVoicesShareOneFingerprint) {
    WriteBank("banks/A.s1v", kFirst);
    VoiceIndex index(kIndexFile);
    index.Update({"banks"});
    VoiceQuery query{
        "", {"banks"}, "xx", true, BankReader::Read("banks/A.s1v").voices[49].fingerprint};
    // Every slot the description leaves out, less the ones it names.
    EXPECT_EQ(index.Find(query).size(), 256u - 9u);
}

}  // namespace
