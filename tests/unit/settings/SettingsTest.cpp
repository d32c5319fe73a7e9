#include "platform/Settings.h"

#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "ConfigFolderTest.h"

namespace {

const std::string kSettingsHeader = "\n[HKEY_LOCAL_MACHINE\\Software\\Sonavist\\Settings]\n";
const std::string kSection = "REGEDIT4\n" + kSettingsHeader;

const std::string kOtherSection = "\n[HKEY_LOCAL_MACHINE\\Software\\Other]\n";

// The settings key holding only "Path", after any sections kept from before.
std::string FirstRunFile(const std::string& kept) {
    return "REGEDIT4\n" + kept + kSettingsHeader + "\"Path\"=\"" + Settings::DefaultFolder() +
           "\"\n";
}

// What a run reads from a key that holds no values.
Settings ReadDefaults() {
    return {Settings::DefaultFolder(), 1, 1, 25, 500, 1, 0};
}

class SettingsTest : public ConfigFolderTest {};

struct FirstRunCase {
    const char* name;
    std::optional<std::string> file;
    std::string kept;
};

void PrintTo(const FirstRunCase& c, std::ostream* os) {
    *os << c.name;
}

class FirstRunTest : public ConfigFolderTest, public ::testing::WithParamInterface<FirstRunCase> {};

TEST_P(FirstRunTest, LeavesTheRecordAndStoresOnlyThePath) {
    if (GetParam().file) {
        WriteMachineFile(*GetParam().file);
    }
    Settings settings;
    Settings::Load(settings);
    EXPECT_EQ(settings, Settings{});
    EXPECT_EQ(ReadFile("HKEY_LOCAL_MACHINE"), FirstRunFile(GetParam().kept));
}

INSTANTIATE_TEST_SUITE_P(
    Files, FirstRunTest,
    ::testing::Values(
        FirstRunCase{"Absent", std::nullopt, ""},
        FirstRunCase{"Garbage", "\x01\xff\xfe garbage\n[x", ""},
        FirstRunCase{"Truncated", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Sonav", ""},
        FirstRunCase{"Oversized", kSection + "; " + std::string(RegistryFile::kMaxFileSize, 'x'),
                     ""},
        FirstRunCase{"OtherProgramOnly", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Other]\n",
                     kOtherSection}),
    [](const auto& info) { return info.param.name; });

// Opening a pipe would wait for a writer, or a reader, that never comes. The pipe is the user's
// and stays.
TEST_F(SettingsTest, NamedPipeReadsAsAbsentWithoutWaiting) {
    std::filesystem::create_directories(FileOf("").parent_path());
    ASSERT_EQ(mkfifo(FileOf("HKEY_LOCAL_MACHINE").c_str(), 0600), 0);
    Settings settings;
    Settings::Load(settings);
    EXPECT_EQ(settings, Settings{});
    Settings::Save(Settings::Defaults());
    EXPECT_EQ(std::filesystem::status(FileOf("HKEY_LOCAL_MACHINE")).type(),
              std::filesystem::file_type::fifo);
}

TEST_F(SettingsTest, SecondRunReadsWhatTheFirstSaved) {
    Settings first;
    Settings::Load(first);
    first.m_CurrentFolder = "/music/banks/";
    first.m_MidiOut = 0;
    first.m_SysexDelay = 25;
    first.m_MidiDelay = 500;
    first.m_DeviceNo = 3;
    first.m_KeepOnTop = 1;
    Settings::Save(first);

    EXPECT_EQ(ReadFile("HKEY_LOCAL_MACHINE"), kSection +
                                                  "\"delay\"=hex:19,00,00,00\n"
                                                  "\"deviceno\"=hex:03,00,00,00\n"
                                                  "\"keepontop\"=hex:01,00,00,00\n"
                                                  "\"mididelay\"=hex:f4,01,00,00\n"
                                                  "\"midiin\"=hex:ff,ff,ff,ff\n"
                                                  "\"midiout\"=hex:00,00,00,00\n"
                                                  "\"Path\"=\"/music/banks/\"\n");
    Settings second;
    Settings::Load(second);
    EXPECT_EQ(second, first);
}

struct LoadCase {
    const char* name;
    std::string values;
    void (*adjust)(Settings&);  // the change from ReadDefaults()
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class LoadSettingsTest : public ConfigFolderTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadSettingsTest, ReadsEachValueOrItsDefault) {
    WriteMachineFile(kSection + GetParam().values);
    Settings expected = ReadDefaults();
    GetParam().adjust(expected);
    Settings settings;
    Settings::Load(settings);
    EXPECT_EQ(settings, expected);
}

const std::string kPath254 = "/" + std::string(252, 'a') + "/";

INSTANTIATE_TEST_SUITE_P(
    Values, LoadSettingsTest,
    ::testing::Values(
        LoadCase{"EmptyKey", "", [](Settings&) {}},
        LoadCase{"EmptyPathStaysEmpty", "\"Path\"=\"\"\n",
                 [](Settings& s) { s.m_CurrentFolder = ""; }},
        LoadCase{"ExpandablePathVerbatim", "\"Path\"=hex(2):25,48,4f,4d,45,25,2f,00\n",
                 [](Settings& s) { s.m_CurrentFolder = "%HOME%/"; }},
        LoadCase{"BinaryPathIsDefault", "\"Path\"=hex:2f,00\n", [](Settings&) {}},
        LoadCase{"Path254", "\"Path\"=\"" + kPath254 + "\"\n",
                 [](Settings& s) { s.m_CurrentFolder = kPath254; }},
        LoadCase{"Path255IsDefault", "\"Path\"=\"" + kPath254 + "b\"\n", [](Settings&) {}},
        LoadCase{"DwordReadLikeBinary", "\"delay\"=dword:00000030\n",
                 [](Settings& s) { s.m_SysexDelay = 48; }},
        LoadCase{"LongerNumberIsDefault", "\"delay\"=hex:30,00,00,00,00\n", [](Settings&) {}},
        LoadCase{"ShorterNumberIsDefault", "\"delay\"=hex:30,00\n", [](Settings&) {}},
        LoadCase{"NoSelection", "\"midiin\"=hex:ff,ff,ff,ff\n\"midiout\"=hex:ff,ff,ff,ff\n",
                 [](Settings& s) { s.m_MidiIn = s.m_MidiOut = -1; }},
        LoadCase{"KeepOnTop", "\"keepontop\"=hex:01,00,00,00\n",
                 [](Settings& s) { s.m_KeepOnTop = 1; }},
        LoadCase{"TruncatedValue", "\"deviceno\"=hex:02,00,00,00\n\"Path\"=\"/ho",
                 [](Settings& s) { s.m_DeviceNo = 2; }},
        LoadCase{"BadDataLeavesOnlyThatValueOut",
                 "\"delay\"=dword:zz\n\"mididelay\"=dword:00000100\n",
                 [](Settings& s) { s.m_MidiDelay = 256; }}),
    [](const auto& info) { return info.param.name; });

TEST_F(SettingsTest, UnwritableFolderIsSilentAndKeepsDefaults) {
    BlockConfigFolder();
    Settings settings;
    Settings::Load(settings);
    EXPECT_EQ(settings, Settings{});
    settings.m_DeviceNo = 5;
    Settings::Save(settings);
    Settings again;
    Settings::Load(again);
    EXPECT_EQ(again, Settings{});
}

TEST_F(SettingsTest, DefaultFolderIsHomeWithOneTrailingSeparator) {
    for (auto [home, folder] : std::vector<std::pair<const char*, const char*>>{
             {"/home/user", "/home/user/"}, {"/home/user/", "/home/user/"}, {"/", "/"}}) {
        setenv("HOME", home, 1);
        EXPECT_EQ(Settings::DefaultFolder(), folder) << home;
    }
}

}  // namespace
