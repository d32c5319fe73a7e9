#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <system_error>

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
std::atomic<bool> g_FailThreads{false};
}  // namespace

// Stands in for the system's thread creation, which fails while g_FailThreads is set, as it does
// when the system is out of threads. std::thread reaches it through the dynamic linker.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*start)(void*), void* argument) noexcept {
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto next = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return g_FailThreads ? EAGAIN : next(thread, attributes, start, argument);
}

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
        m_Settings.m_MidiIn = 0;
        m_Settings.m_MidiOut = 0;
    }

    EXParams m_Record;
    Settings m_Settings = Settings::Defaults();
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

// The thread that handles the completion launches before it has returned: the job would wait
// for it, so the launch gives up after its bounded wait.
TEST_F(JobLauncherTest, RefusesASecondJobWhileTheCompletionIsBeingHandled) {
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

// The completion has been handled, but the worker is slow to come back from handing it over, as
// on a busy machine.
class SlowToWakeSink : public TextSink {
public:
    void InsertText(const char*) override {
        m_Handled.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    void WaitHandled() { m_Handled.get_future().wait(); }

private:
    std::promise<void> m_Handled;
};

TEST_F(JobLauncherTest, ALaunchAfterTheCompletionWasHandledStartsItsJob) {
    SlowToWakeSink sendDone;
    JobLauncher launcher(m_Record, nullptr, &sendDone);
    m_Settings.m_MidiDelay = 0;
    ASSERT_TRUE(launcher.LaunchSendVoice(m_Settings, PatchWith(1)));
    sendDone.WaitHandled();
    EXPECT_TRUE(launcher.LaunchIdentify(m_Settings));
    ASSERT_TRUE(launcher.WaitFor(5000));
    EXPECT_STREQ(m_Record.m_InstrumentText, "EX5");
}

// A voice that tells when it is destroyed.
class CountedPatch : public EX5Patch {
public:
    explicit CountedPatch(int& destroyed) : EX5Patch("Counted", 0), m_Destroyed(destroyed) {}
    ~CountedPatch() override { ++m_Destroyed; }

private:
    int& m_Destroyed;
};

TEST_F(JobLauncherTest, AWorkerThatCannotBeMadeDestroysThePatchAndTheNextLaunchRuns) {
    JobLauncher launcher(m_Record, nullptr, nullptr);
    int destroyed = 0;
    g_FailThreads = true;
    EXPECT_THROW(launcher.LaunchSendVoice(m_Settings, std::make_unique<CountedPatch>(destroyed)),
                 std::system_error);
    g_FailThreads = false;
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(m_Record.m_Patch, nullptr);
    EXPECT_FALSE(launcher.IsBusy());
    ASSERT_TRUE(launcher.LaunchIdentify(m_Settings));
    ASSERT_TRUE(launcher.WaitFor(5000));
    EXPECT_STREQ(m_Record.m_InstrumentText, "EX5");
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
    JobLauncher launcher(m_Record, nullptr, nullptr);
    launcher.SetTiming(100, JobLauncher::kTries);
    ASSERT_TRUE(launcher.LaunchIdentify(m_Settings));
    launcher.Cancel();
    ASSERT_TRUE(launcher.WaitFor(5000));
    const std::string log = Log();
    EXPECT_NE(log.find("Midi.cpp:160 Job Cancelled\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("No reply"), std::string::npos);
}

}  // namespace
