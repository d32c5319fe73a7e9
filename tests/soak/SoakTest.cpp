#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "conversation/EXParams.h"
#include "conversation/JobLauncher.h"
#include "midi/MidiSystem.h"
#include "midi/virtual/VirtualInstrument.h"
#include "midi/virtual/VirtualInstrumentDriver.h"
#include "support/DoneCounter.h"
#include "support/ProcessResources.h"
#include "support/ScratchFolder.h"
#include "voice/EX5Patch.h"
#include "voice/EXException.h"
#include "voice/VoiceBank.h"

// A long session's worth of jobs in a row: every one completes and signals, and together they
// leave no thread, no open file and (under the address sanitizer) no memory behind.

namespace {

constexpr int kSends = 1000;
constexpr int kIdentifications = 100;
constexpr uint32_t kJobLimitMs = 10000;

// Rows of the demo bank's voices that can be sent.
std::vector<std::string> SendableRows(const VoiceBank& bank) {
    std::vector<std::string> rows;
    bank.FillVoiceList([&](const std::string& row) {
        // A row that cannot be assembled is simply not sendable.
        EXException::Catch(
            [&] {
                if (bank.PatchForRow(row)) {
                    rows.push_back(row);
                }
            },
            [](const EXException*) {});
    });
    return rows;
}

class Soak : public testing::Test {
protected:
    void SetUp() override {
        m_Folder.MakeCurrent();
        // Bytes take a microsecond instead of a MIDI cable's 320, so a thousand dumps take
        // moments; everything else runs as with the real cable.
        auto driver = std::make_shared<VirtualInstrumentDriver>(m_Instrument);
        driver->SetByteTime(std::chrono::microseconds(1));
        MidiSystem::Install(driver);
        m_Bank.m_ShowInits = true;
        m_Bank.LoadBank(SONAVIST_DEMO_BANK);
        m_Rows = SendableRows(m_Bank);
        m_Settings.m_MidiIn = 0;
        m_Settings.m_MidiOut = 0;
        m_Settings.m_SysexDelay = 1;
        m_Settings.m_MidiDelay = 1;
    }
    void TearDown() override { MidiSystem::Install(nullptr); }

    void Send(JobLauncher& launcher, int i) {
        const std::string& row = m_Rows[static_cast<size_t>(i) % m_Rows.size()];
        ASSERT_TRUE(launcher.LaunchSendVoice(m_Settings, m_Bank.PatchForRow(row)));
        ASSERT_TRUE(launcher.WaitFor(kJobLimitMs));
    }
    void Identify(JobLauncher& launcher) {
        ASSERT_TRUE(launcher.LaunchIdentify(m_Settings));
        ASSERT_TRUE(launcher.WaitFor(kJobLimitMs));
        ASSERT_STREQ(m_Record.m_InstrumentText, "EX5");
    }

    ScratchFolder m_Folder{"sonavist-soak"};
    std::shared_ptr<VirtualInstrument> m_Instrument = std::make_shared<VirtualInstrument>();
    VoiceBank m_Bank;
    std::vector<std::string> m_Rows;
    Settings m_Settings = Settings::Defaults();
    EXParams m_Record;
};

TEST_F(Soak, ThousandSendsAndHundredIdentificationsLeaveNothingBehind) {
    ASSERT_FALSE(m_Rows.empty());
    DoneCounter identDone;
    DoneCounter sendDone;
    JobLauncher launcher(m_Record, &identDone, &sendDone);
    // One job of each kind first, so that whatever a process makes once exists before counting.
    ASSERT_NO_FATAL_FAILURE(Identify(launcher));
    ASSERT_NO_FATAL_FAILURE(Send(launcher, 0));
    const ProcessResources before = ProcessResources::Now();

    for (int i = 1; i <= kSends; ++i) {
        ASSERT_NO_FATAL_FAILURE(Send(launcher, i));
        if (i % (kSends / kIdentifications) == 0) {
            ASSERT_NO_FATAL_FAILURE(Identify(launcher));
        }
    }

    EXPECT_EQ(sendDone.m_Done, kSends + 1);
    EXPECT_EQ(identDone.m_Done, kIdentifications + 1);
    const ProcessResources after = ProcessResources::Now();
    EXPECT_TRUE(after.Within(before)) << after << " after the jobs, " << before << " before";
    const auto last = m_Instrument->LastVoice();
    ASSERT_TRUE(last.has_value());
    EXPECT_TRUE(last->checksumOk);
    const auto patch = m_Bank.PatchForRow(m_Rows[static_cast<size_t>(kSends) % m_Rows.size()]);
    const uint8_t* dump = patch->BuildDump();
    EXPECT_EQ(last->dump, std::vector<uint8_t>(dump, dump + patch->GetDumpLength()));
}

}  // namespace
