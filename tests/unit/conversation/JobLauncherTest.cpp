#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "JobTestSupport.h"
#include "conversation/EXParams.h"
#include "conversation/JobLauncher.h"
#include "conversation/TextSink.h"
#include "midi/MidiSystem.h"
#include "midi/virtual/VirtualInstrument.h"
#include "midi/virtual/VirtualInstrumentDriver.h"
#include "voice/EX5Patch.h"

namespace {

// A completion sink that holds the job until the test lets it go, as a busy dialog would.
class HeldSink : public TextSink {
public:
    void InsertText(const char*) override {
        m_Thread = std::this_thread::get_id();
        m_Reached.set_value();
        m_Release.get_future().wait();
    }
    void WaitReached() { m_Reached.get_future().wait(); }
    void Release() { m_Release.set_value(); }
    std::thread::id Thread() const { return m_Thread; }

private:
    std::promise<void> m_Reached;
    std::promise<void> m_Release;
    std::thread::id m_Thread;
};

class JobLauncherTest : public VirtualInstrumentTest {
protected:
    void SetUp() override {
        VirtualInstrumentTest::SetUp();
        m_Settings.midiInDevice = 0;
        m_Settings.midiOutDevice = 0;
    }

    EXParams m_Record;
    JobLauncher::Settings m_Settings;
};

TEST_F(JobLauncherTest, FillsTheRecordAsTheIdButtonDoes) {
    HeldSink done;
    JobLauncher launcher(m_Record, &done, &done);
    ASSERT_TRUE(launcher.LaunchIdentify(m_Settings));
    done.WaitReached();
    EXPECT_NE(done.Thread(), std::this_thread::get_id());
    EXPECT_STREQ(m_Record.m_InstrumentText, "EX5");
    EXPECT_EQ(m_Record.m_Timeout, 2000u);
    EXPECT_EQ(m_Record.m_Tries, 4u);
    EXPECT_EQ(m_Record.m_Verbose, 0);
    EXPECT_EQ(m_Record.m_DriverIndex, 0);
    EXPECT_EQ(m_Record.m_Delay, 25u);
    EXPECT_EQ(m_Record.m_StatusWnd, nullptr);
    EXPECT_STREQ(m_Record.m_Version, "1.0.2");
    done.Release();
    ASSERT_TRUE(launcher.WaitFor(5000));
    EXPECT_EQ(Log(), FixtureLog("identify-launched"));
}

TEST_F(JobLauncherTest, RefusesASecondJobUntilTheFirstHasSignalled) {
    HeldSink done;
    JobLauncher launcher(m_Record, &done, &done);
    ASSERT_TRUE(launcher.LaunchIdentify(m_Settings));
    done.WaitReached();
    EXPECT_TRUE(launcher.IsBusy());
    EXPECT_FALSE(launcher.LaunchIdentify(m_Settings));
    EXPECT_FALSE(launcher.LaunchSendVoice(m_Settings, PatchWith(1)));
    EXPECT_FALSE(launcher.WaitFor(10));
    done.Release();
    ASSERT_TRUE(launcher.WaitFor(5000));
    EXPECT_FALSE(launcher.IsBusy());
    EXPECT_EQ(m_Record.m_LogFile, nullptr);
}

TEST_F(JobLauncherTest, TheNextJobStartsOnlyAfterThePreviousHasEnded) {
    JobLauncher launcher(m_Record, nullptr, nullptr);
    ASSERT_TRUE(launcher.LaunchSendVoice(m_Settings, PatchWith(1)));
    // Refused until the send has signalled; accepted launches wait for its log to be closed,
    // so the identification's log is whole and holds nothing of the send.
    while (!launcher.LaunchIdentify(m_Settings)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(launcher.WaitFor(5000));
    EXPECT_EQ(Log(), FixtureLog("identify-launched"));
}

TEST_F(JobLauncherTest, ASinkThatThrowsIsLoggedAndTheNextJobRuns) {
    class ThrowingSink : public TextSink {
    public:
        void InsertText(const char*) override { throw std::runtime_error("window gone"); }
    } done;
    JobLauncher launcher(m_Record, &done, &done);
    ASSERT_TRUE(launcher.LaunchIdentify(m_Settings));
    // As the dialog does: no waiting, only a later launch.
    while (launcher.IsBusy()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_NE(Log().find("Unidentified error\r\nFinished instrument ident"), std::string::npos);
    EXPECT_TRUE(launcher.LaunchIdentify(m_Settings));
    EXPECT_TRUE(launcher.WaitFor(5000));
}

TEST_F(JobLauncherTest, CancelEndsAJobAtItsNextRequest) {
    m_Instrument->SetReply(VirtualInstrument::Reply::kSilent);
    m_Settings.timeout = 100;
    JobLauncher launcher(m_Record, nullptr, nullptr);
    ASSERT_TRUE(launcher.LaunchIdentify(m_Settings));
    launcher.Cancel();
    ASSERT_TRUE(launcher.WaitFor(5000));
    const std::string log = Log();
    EXPECT_NE(log.find("Midi.cpp:160 Job Cancelled\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("No reply"), std::string::npos);
}

}  // namespace
