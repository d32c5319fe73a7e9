#include <cstring>
#include <string>

#include "midi/MidiInWin.h"
#include "midi/MidiOutWin.h"
#include "support/RaisedError.h"
#include "unit/midi/PortFixture.h"

namespace {

using GetName = int (*)(int32_t, char*, uint32_t);

struct NameCase {
    const char* name;
    GetName get;
    int32_t index;
    uint32_t length;
    bool nullBuffer;
    const char* expectName;
    const char* expectError;
    const char* expectModule;
};

class DeviceNameTest : public PortFixture, public testing::WithParamInterface<NameCase> {};

TEST_P(DeviceNameTest, CopiesCutsOrRejects) {
    const NameCase& c = GetParam();
    char buffer[300];
    std::memset(buffer, 'x', sizeof buffer);

    const RaisedError raised =
        RaisedError::From([&] { c.get(c.index, c.nullBuffer ? nullptr : buffer, c.length); });

    EXPECT_EQ(raised.message, c.expectError);
    if (*c.expectError) {
        EXPECT_EQ(raised.module, c.expectModule);
    }
    if (!c.nullBuffer) {
        EXPECT_STREQ(buffer, c.expectName);
        // The rest of the caller's characters are terminators.
        for (uint32_t i = std::strlen(c.expectName); *c.expectError == 0 && i < c.length; ++i) {
            ASSERT_EQ(buffer[i], '\0') << i;
        }
        EXPECT_EQ(buffer[c.length], 'x');
    }
}

constexpr GetName kIn = &MidiInWin::GetDeviceName;
constexpr GetName kOut = &MidiOutWin::GetDeviceName;

INSTANTIATE_TEST_SUITE_P(
    BothPorts, DeviceNameTest,
    testing::Values(NameCase{"outWhole", kOut, 0, 260, false, "Out Zero", "", ""},
                    NameCase{"inWhole", kIn, 0, 260, false, "In Zero", "", ""},
                    NameCase{"outLongNameCut", kOut, 1, 10, false, "Output de", "", ""},
                    NameCase{"inLongNameCut", kIn, 1, 10, false, "Input dev", "", ""},
                    NameCase{"outIndexAtCount", kOut, 2, 260, false, "",
                             "Invalid MIDI out device number", "MidiOutWin.cpp"},
                    NameCase{"inIndexAtCount", kIn, 2, 260, false, "", "Invalid MIDI device number",
                             "MidiInWin.cpp"},
                    NameCase{"outNoSelection", kOut, -1, 260, false, "",
                             "Invalid MIDI out device number", "MidiOutWin.cpp"},
                    NameCase{"inNoSelection", kIn, -1, 260, false, "", "Invalid MIDI device number",
                             "MidiInWin.cpp"},
                    NameCase{"outNullBuffer", kOut, 0, 260, true, "",
                             "Null lpszDeviceName parameter", "MidiOutWin.cpp"},
                    NameCase{"inNullBuffer", kIn, 0, 260, true, "", "Null lpszDeviceName parameter",
                             "MidiInWin.cpp"}),
    [](const auto& info) { return info.param.name; });

TEST(DeviceNameNoDriverTest, NoDevicesBeforeAnyDriverIsInstalled) {
    MidiSystem::Install(nullptr);
    EXPECT_EQ(MidiSystem::Driver().InCount(), 0u);
    EXPECT_EQ(MidiSystem::Driver().OutCount(), 0u);
    char buffer[260];
    EXPECT_EQ(RaisedError::From([&] { MidiOutWin::GetDeviceName(0, buffer, 260); }).message,
              "Invalid MIDI out device number");
}

}  // namespace
