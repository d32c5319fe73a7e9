#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "conversation/EXParams.h"
#include "conversation/JobLauncher.h"
#include "midi/MidiSystem.h"
#include "midi/jack/JackDriver.h"
#include "support/DoneCounter.h"
#include "support/ProcessResources.h"
#include "support/ScratchFolder.h"
#include "support/VirtualEx5Process.h"
#include "voice/EX5Patch.h"

// The instrument's JACK client dies while a job uses it, or after the program listed it and
// before a job opens it. The job must log what happened, end and signal, give back every thread
// and file it took, and the next job must find the instrument once it is back.

namespace {

constexpr uint32_t kJobLimitMs = 20000;
// The instrument answers after a second, so two tries leave room for a kill inside the job.
constexpr uint32_t kTries = 2;

struct LossCase {
    const char* name;
    bool send;
    // What the instrument has printed when it is killed; empty: before the job starts.
    const char* killAfter;
    const char* logged;
    // The identification's result afterwards (the one before it is kept when the job fails
    // before asking).
    const char* instrumentText;
};

void PrintTo(const LossCase& c, std::ostream* os) {
    *os << c.name;
}

std::string ReadLog() {
    std::ifstream file("Sonavist.log", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::unique_ptr<EX5Patch> OneElementVoice() {
    auto patch = std::make_unique<EX5Patch>("AssemblPatch", 0);
    for (size_t e = 1; e < EX5Patch::kElementCount; ++e) {
        patch->m_Elements[e][0] = EX5Patch::kUnusedElement;
    }
    return patch;
}

class DeviceLoss : public testing::TestWithParam<LossCase> {
protected:
    void SetUp() override {
        m_Folder.MakeCurrent();
        ASSERT_TRUE(m_Instrument->WaitReady()) << m_Instrument->Output();
        // Listed once, as the window lists the devices when it opens.
        auto driver = std::make_shared<JackDriver>();
        m_Settings.m_MidiOut = m_Instrument->OutputIndex(*driver);
        m_Settings.m_MidiIn = m_Instrument->InputIndex(*driver);
        ASSERT_GE(m_Settings.m_MidiOut, 0);
        ASSERT_GE(m_Settings.m_MidiIn, 0);
        MidiSystem::Install(driver);
        // The send waits a second, so that the kill lands inside the job.
        m_Settings.m_MidiDelay = 1000;
    }
    void TearDown() override { MidiSystem::Install(nullptr); }

    bool Identify(JobLauncher& launcher) {
        return launcher.LaunchIdentify(m_Settings) && launcher.WaitFor(kJobLimitMs);
    }

    ScratchFolder m_Folder{"sonavist-loss-" + std::string(GetParam().name)};
    std::unique_ptr<VirtualEx5Process> m_Instrument =
        std::make_unique<VirtualEx5Process>(std::vector<std::string>{"--latency", "1000"});
    Settings m_Settings = Settings::Defaults();
};

TEST_P(DeviceLoss, JobLogsEndsAndSignalsAndTheNextFindsTheInstrumentBack) {
    const LossCase& c = GetParam();
    EXParams record;
    DoneCounter done;
    JobLauncher launcher(record, &done, &done);
    launcher.SetTiming(JobLauncher::kTimeout, kTries);
    // A first job makes whatever the process makes once, and answers as it should.
    ASSERT_TRUE(Identify(launcher));
    ASSERT_STREQ(record.m_InstrumentText, "EX5");
    const ProcessResources before = ProcessResources::Now();
    // Only a dead instrument stays silent now, so the identification may give up soon.
    launcher.SetTiming(300, kTries);

    const std::string killAfter = c.killAfter;
    const std::size_t printed = m_Instrument->Output().size();
    if (killAfter.empty()) {
        m_Instrument->Stop(SIGKILL);
    }
    ASSERT_TRUE(c.send ? launcher.LaunchSendVoice(m_Settings, OneElementVoice())
                       : launcher.LaunchIdentify(m_Settings));
    if (!killAfter.empty()) {
        ASSERT_TRUE(m_Instrument->WaitOutput(killAfter, printed)) << m_Instrument->Output();
        m_Instrument->Stop(SIGKILL);
    }
    ASSERT_TRUE(launcher.WaitFor(kJobLimitMs));
    EXPECT_EQ(done.m_Done, 2);
    const std::string log = ReadLog();
    EXPECT_NE(log.find(c.logged), std::string::npos) << log;
    EXPECT_STREQ(record.m_InstrumentText, c.instrumentText);
    const ProcessResources after = ProcessResources::Now();
    EXPECT_TRUE(after.Within(before)) << after << " after the job, " << before << " before\n"
                                      << ProcessResources::FileNames();

    // Back under the same name: the devices listed before lead to it again.
    m_Instrument = std::make_unique<VirtualEx5Process>();
    ASSERT_TRUE(m_Instrument->WaitReady()) << m_Instrument->Output();
    record.m_InstrumentText[0] = '\0';
    launcher.SetTiming(JobLauncher::kTimeout, kTries);
    ASSERT_TRUE(Identify(launcher));
    EXPECT_STREQ(record.m_InstrumentText, "EX5") << ReadLog();
    EXPECT_EQ(done.m_Done, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Killed, DeviceLoss,
    testing::Values(LossCase{"IdentifyAwaitingTheReply", false, "identity request for device 1",
                             " No reply to ID request\r\n", "No reply to ID request."},
                    LossCase{"SendInItsWait", true, "elements, checksum ok",
                             "SendSysexVoice confirms: Voice sent\n", "EX5"},
                    LossCase{"IdentifyBeforeOpening", false, "",
                             "Cannot open MIDI device for input\r\n", "EX5"},
                    LossCase{"SendBeforeOpening", true, "", "Cannot open MIDI device for input\r\n",
                             "EX5"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
