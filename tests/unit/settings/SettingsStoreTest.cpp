#include "platform/SettingsStore.h"

#include <string>
#include <vector>

#include "ConfigFolderTest.h"

namespace {

class SettingsStoreTest : public ConfigFolderTest {
protected:
    void SetUp() override {
        ConfigFolderTest::SetUp();
        ASSERT_TRUE(m_Store.OpenKey("Software\\Test", true));
    }

    const RegistryValue* Stored(const std::string& name) {
        m_File = RegistryFile::Load(FileOf("HKEY_CURRENT_USER"));
        return m_File.FindValue("HKEY_CURRENT_USER\\Software\\Test", name);
    }

    SettingsStore m_Store;
    RegistryFile m_File;
};

struct NumberCase {
    uint32_t number;
    std::vector<uint8_t> bytes;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.number;
}

class PutNumberTest : public SettingsStoreTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(PutNumberTest, StoresFourBinaryBytesLeastSignificantFirst) {
    ASSERT_TRUE(m_Store.PutNumber("delay", GetParam().number));
    ASSERT_NE(Stored("delay"), nullptr);
    EXPECT_EQ(*Stored("delay"), (RegistryValue{RegistryKind::Binary, GetParam().bytes}));
    EXPECT_EQ(m_Store.GetNumber("delay", 7), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Numbers, PutNumberTest,
                         ::testing::Values(NumberCase{25, {0x19, 0, 0, 0}},
                                           NumberCase{0xFFFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}},
                                           NumberCase{0x01020304, {4, 3, 2, 1}}));

TEST_F(SettingsStoreTest, TextOf254IsWrittenAnd255KeepsTheOldValue) {
    std::string text254(254, 'x');
    ASSERT_TRUE(m_Store.PutString("Path", text254));
    EXPECT_EQ(m_Store.GetString("Path", "default"), text254);
    EXPECT_FALSE(m_Store.PutString("Path", text254 + "y"));
    EXPECT_EQ(m_Store.GetString("Path", "default"), text254);
}

TEST_F(SettingsStoreTest, ValueTypeNamesTheStoredKind) {
    m_Store.PutString("text", "a");
    m_Store.PutNumber("number", 1);
    EXPECT_EQ(m_Store.ValueType("text"), RegistryKind::String);
    EXPECT_EQ(m_Store.ValueType("number"), RegistryKind::Binary);
    EXPECT_EQ(m_Store.ValueType("absent"), RegistryKind::None);
    SettingsStore otherRoot;
    ASSERT_TRUE(otherRoot.SelectRoot(RegistryRoot::Users));
    ASSERT_FALSE(otherRoot.OpenKey("Software\\Test", false));
    EXPECT_EQ(otherRoot.ValueType("text"), RegistryKind::None);
}

TEST_F(SettingsStoreTest, UnknownRootIsRefusedAndTheRootKept) {
    EXPECT_FALSE(m_Store.SelectRoot(static_cast<RegistryRoot>(0x80000005)));
    ASSERT_TRUE(m_Store.PutNumber("kept", 1));
    EXPECT_NE(Stored("kept"), nullptr);
}

TEST_F(SettingsStoreTest, FailedOpenKeepsThePreviousKey) {
    EXPECT_FALSE(m_Store.OpenKey("Software\\Missing", false));
    EXPECT_FALSE(m_Store.OpenKey("Software\\\\Bad", true));
    ASSERT_TRUE(m_Store.PutNumber("kept", 1));
    EXPECT_NE(Stored("kept"), nullptr);
}

TEST_F(SettingsStoreTest, ParentsAreCreatedAndEmptyPathSelectsTheRoot) {
    EXPECT_TRUE(m_Store.OpenKey("Software", false));
    EXPECT_TRUE(m_Store.OpenKey("", false));
    ASSERT_TRUE(m_Store.PutNumber("top", 2));
    EXPECT_EQ(m_Store.GetNumber("top", 0), 2u);
    EXPECT_NE(RegistryFile::Load(FileOf("HKEY_CURRENT_USER")).FindValue("HKEY_CURRENT_USER", "top"),
              nullptr);
}

}  // namespace
