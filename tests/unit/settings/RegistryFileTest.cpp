#include "platform/RegistryFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kKey = "HKEY_LOCAL_MACHINE\\Software\\Sonavist\\Settings";
const std::string kSection = "REGEDIT4\n\n[" + kKey + "]\n";

struct ParseCase {
    const char* name;
    std::string text;
    std::optional<RegistryValue> value;  // of "v" in kKey; the text is unparseable when absent
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

RegistryValue Value(RegistryKind kind, std::vector<uint8_t> data) {
    return {kind, std::move(data)};
}

class RegistryFileParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(RegistryFileParseTest, ReadsTheValueOrRejectsTheFile) {
    auto file = RegistryFile::Parse(GetParam().text);
    if (!GetParam().value) {
        EXPECT_FALSE(file.has_value());
        return;
    }
    ASSERT_TRUE(file.has_value());
    const RegistryValue* value = file->FindValue(kKey, "v");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, *GetParam().value);
}

const RegistryValue kA = Value(RegistryKind::String, {'a', 0});

INSTANTIATE_TEST_SUITE_P(
    Texts, RegistryFileParseTest,
    ::testing::Values(
        ParseCase{"Text", kSection + "\"v\"=\"C:\\\\ \\\"q\\\"\"\n",
                  Value(RegistryKind::String, {'C', ':', '\\', ' ', '"', 'q', '"', 0})},
        ParseCase{"Dword", kSection + "\"v\"=dword:00000019\n",
                  Value(RegistryKind::Dword, {0x19, 0, 0, 0})},
        ParseCase{"Binary", kSection + "\"v\"=hex:ff,0,A0\n",
                  Value(RegistryKind::Binary, {0xFF, 0, 0xA0})},
        ParseCase{"EmptyBinary", kSection + "\"v\"=hex:\n", Value(RegistryKind::Binary, {})},
        ParseCase{"Expandable", kSection + "\"v\"=hex(2):25,00\n",
                  Value(RegistryKind::ExpandString, {'%', 0})},
        ParseCase{"OtherKind", kSection + "\"v\"=hex(b):01\n",
                  Value(static_cast<RegistryKind>(11), {1})},
        ParseCase{"Continued", kSection + "\"v\"=hex:01,02,\\\n  03,\\\n  04\n",
                  Value(RegistryKind::Binary, {1, 2, 3, 4})},
        ParseCase{"CrLfBomCommentsAndCase",
                  "\xEF\xBB\xBFREGEDIT4\r\n; "
                  "note\r\n[hkey_local_machine\\SOFTWARE\\sonavist\\settings]\r\n"
                  "\"V\"=\"a\"\r\n",
                  kA},
        ParseCase{"LastOfTwoWins", kSection + "\"v\"=dword:1\n\"v\"=\"a\"\n", kA},
        ParseCase{"BadDataLeftOut",
                  kSection + "\"w\"=dword:123456789\n\"x\"=hex:1,\n\"y\"=-\n"
                             "\"z\"=\"a\" b\n\"v\"=\"a\"\n",
                  kA},
        ParseCase{"NoHeader", "[" + kKey + "]\n\"v\"=\"a\"\n", std::nullopt},
        ParseCase{"OtherHeader", "Windows Registry Editor Version 5.00\n", std::nullopt},
        ParseCase{"ValueBeforeSection", "REGEDIT4\n\"v\"=\"a\"\n", std::nullopt},
        ParseCase{"UnknownLine", kSection + "v=a\n", std::nullopt},
        ParseCase{"UnclosedSection", "REGEDIT4\n[HKEY_USERS\n", std::nullopt},
        ParseCase{"EmptyKeyName", "REGEDIT4\n[HKEY_USERS\\\\x]\n", std::nullopt},
        ParseCase{"DeletedKey", "REGEDIT4\n[-HKEY_USERS\\x]\n", std::nullopt},
        ParseCase{"UnclosedName", kSection + "\"v=\"a\"\n", std::nullopt},
        ParseCase{"NoEquals", kSection + "\"v\" \"a\"\n", std::nullopt},
        ParseCase{"Empty", "", std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST(RegistryFileTest, KeysOnAPathExistAndCompareIgnoringCase) {
    auto file = RegistryFile::Parse("REGEDIT4\n[HKEY_USERS\\A\\B\\C]\n[HKEY_USERS\\A!]\n");
    ASSERT_TRUE(file.has_value());
    EXPECT_TRUE(file->HasKey("hkey_users\\a\\b"));
    EXPECT_TRUE(file->HasKey("HKEY_USERS\\A\\B\\c"));
    EXPECT_FALSE(file->HasKey("HKEY_USERS\\A\\B\\C\\D"));
    EXPECT_FALSE(file->HasKey("HKEY_USERS\\A\\"));
    EXPECT_FALSE(file->HasKey("HKEY_USERS\\B"));
}

TEST(RegistryFileTest, FormatReadsBackTheSame) {
    RegistryFile file;
    ASSERT_TRUE(file.AddKey("HKEY_USERS"));
    ASSERT_TRUE(file.AddKey("HKEY_USERS\\Long]Name"));
    file.SetValue("HKEY_USERS", "", Value(RegistryKind::String, {'r', 'o', 'o', 't', 0}));
    file.SetValue("HKEY_USERS\\Long]Name", "quote\"and\\",
                  Value(RegistryKind::Binary, std::vector<uint8_t>(100, 0xAB)));
    file.SetValue("HKEY_USERS\\Long]Name", "line",
                  Value(RegistryKind::String, {'a', '\n', 'b', 0}));
    file.SetValue("HKEY_USERS\\Long]Name", "unended", Value(RegistryKind::String, {'a'}));
    file.SetValue("HKEY_USERS\\Long]Name", "short", Value(RegistryKind::Dword, {1, 2}));
    file.SetValue("HKEY_USERS\\Long]Name", "wide kind",
                  Value(static_cast<RegistryKind>(0x12), {1}));
    EXPECT_FALSE(file.SetValue("HKEY_USERS\\Long]Name", "new\nline", kA));
    EXPECT_FALSE(file.SetValue("HKEY_USERS\\Absent", "v", kA));

    std::string text = file.Format();
    auto again = RegistryFile::Parse(text);
    ASSERT_TRUE(again.has_value()) << text;
    EXPECT_EQ(*again, file) << text;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        EXPECT_LE(end - start, 80u) << text;
    }
}

}  // namespace
