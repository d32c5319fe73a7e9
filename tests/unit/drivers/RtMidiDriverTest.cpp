#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include <functional>
#include <memory>

#include "midi/jack/JackDriver.h"
#include "midi/rtmidi/RtMidiDriver.h"

namespace {

// Runs `action` with the process's stdout and stderr going to a file; returns what was written.
template <typename Action>
std::string Printed(Action&& action) {
    fflush(stdout);
    fflush(stderr);
    FILE* capture = tmpfile();
    const int savedOut = dup(STDOUT_FILENO);
    const int savedErr = dup(STDERR_FILENO);
    dup2(fileno(capture), STDOUT_FILENO);
    dup2(fileno(capture), STDERR_FILENO);
    action();
    fflush(stdout);
    fflush(stderr);
    dup2(savedOut, STDOUT_FILENO);
    dup2(savedErr, STDERR_FILENO);
    close(savedOut);
    close(savedErr);
    std::string text;
    rewind(capture);
    for (int c = fgetc(capture); c != EOF; c = fgetc(capture)) {
        text += static_cast<char>(c);
    }
    fclose(capture);
    return text;
}

struct Absent {
    const char* name;
    std::function<std::unique_ptr<MidiDriver>()> make;
};

void PrintTo(const Absent& c, std::ostream* os) {
    *os << c.name;
}

class RealBackendWithoutItsSystem : public testing::TestWithParam<Absent> {};

TEST_P(RealBackendWithoutItsSystem, HasNoDevicesAndPrintsNothing) {
    // A server name nobody runs stands for a machine without JACK.
    setenv("JACK_DEFAULT_SERVER", "sonavist-no-such-server", 1);
    const std::string printed = Printed([] {
        const std::unique_ptr<MidiDriver> driver = GetParam().make();
        driver->Refresh();
        EXPECT_EQ(driver->InCount(), 0u);
        EXPECT_EQ(driver->OutCount(), 0u);
        EXPECT_EQ(driver->InName(0), "");
        MidiHandle handle = 0;
        EXPECT_EQ(driver->OutOpen(0, handle), kMidiBadDeviceId);
        EXPECT_EQ(driver->InOpen(0, handle, nullptr, 0), kMidiBadDeviceId);
        EXPECT_EQ(driver->OutShortMsg(handle, 0x90), kMidiInvalidHandle);
        EXPECT_EQ(driver->InClose(handle), kMidiInvalidHandle);
    });
    unsetenv("JACK_DEFAULT_SERVER");
    EXPECT_EQ(printed, "");
}

INSTANTIATE_TEST_SUITE_P(
    Backends, RealBackendWithoutItsSystem,
    testing::Values(Absent{"Alsa",
                           [] { return std::make_unique<RtMidiDriver>("/nonexistent/snd/seq"); }},
                    Absent{"Jack", [] { return std::make_unique<JackDriver>(); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
