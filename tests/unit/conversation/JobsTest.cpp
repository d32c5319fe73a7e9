#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "JobTestSupport.h"
#include "conversation/EXParams.h"
#include "conversation/EXWorker.h"
#include "conversation/Midi.h"
#include "conversation/TextSink.h"
#include "midi/MidiSystem.h"
#include "midi/virtual/VirtualInstrument.h"
#include "midi/virtual/VirtualInstrumentDriver.h"
#include "platform/ThreadMessageQueue.h"
#include "voice/EX5Patch.h"

namespace {

// The jobs on a thread of their own.
class JobsTest : public VirtualInstrumentTest {
protected:
    void SetUp() override {
        VirtualInstrumentTest::SetUp();
        FillTestRecord(m_Job);
        m_Job.m_IdentDoneWnd = &m_IdentDone;
        m_Job.m_SendDoneWnd = &m_SendDone;
        m_Job.m_StatusWnd = &m_Status;
    }
    // Short waits where the instrument stays silent.
    void Silent() { m_Job.m_Timeout = 50; }
    void Run(unsigned (*job)(void*), bool cancelled = false) {
        std::thread worker([&] {
            if (cancelled) {
                ThreadMessageQueue::Post(std::this_thread::get_id(), Midi::kCancelMessage);
            }
            job(&m_Job);
            ThreadMessageQueue::Discard(std::this_thread::get_id());
        });
        worker.join();
    }
    // The instrument takes the bytes in on a thread of its own once they have arrived, so a
    // loaded machine may see the job end first.
    bool VoiceArrived() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!m_Instrument->LastVoice() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return m_Instrument->LastVoice().has_value();
    }

    EXParams m_Job;
    RecordingSink m_IdentDone;
    RecordingSink m_SendDone;
    RecordingSink m_Status;
};

const std::vector<std::string> kDone = {"Done"};

struct IdentifyCase {
    const char* name;
    VirtualInstrument::Reply reply;
    uint8_t instrumentDeviceNo;
    const char* text;
    uint32_t deviceNoAfter;
};

class IdentifyJobTest : public JobsTest, public testing::WithParamInterface<IdentifyCase> {};

TEST_P(IdentifyJobTest, LogsTheWholeConversation) {
    m_Instrument->SetReply(GetParam().reply);
    m_Instrument->SetDeviceNo(GetParam().instrumentDeviceNo);
    if (GetParam().reply == VirtualInstrument::Reply::kSilent ||
        GetParam().instrumentDeviceNo != 1) {
        Silent();
    }
    Run(&EXWorker::IdentifyThread);
    EXPECT_EQ(Log(), FixtureLog(std::string("identify-") + GetParam().name));
    EXPECT_STREQ(m_Job.m_InstrumentText, GetParam().text);
    EXPECT_EQ(m_Job.m_DeviceNo, GetParam().deviceNoAfter);
    EXPECT_EQ(m_IdentDone.texts, kDone);
    EXPECT_TRUE(m_Status.texts.empty());
    EXPECT_EQ(m_Job.m_LogFile, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Instruments, IdentifyJobTest,
    testing::Values(IdentifyCase{"ex5", VirtualInstrument::Reply::kEX5, 1, "EX5", 1},
                    IdentifyCase{"ex7", VirtualInstrument::Reply::kEX7, 1, "EX7", 1},
                    IdentifyCase{"ex5r", VirtualInstrument::Reply::kEX5R, 1, "EX5R", 1},
                    IdentifyCase{"unknown-member", VirtualInstrument::Reply::kUnknownMember, 1,
                                 "Yamaha Other", 1},
                    IdentifyCase{"other-maker", VirtualInstrument::Reply::kOtherMaker, 1,
                                 "Nothing known found.", 1},
                    IdentifyCase{"short14", VirtualInstrument::Reply::kShort14, 1,
                                 "Nothing known found.", 1},
                    IdentifyCase{"long17", VirtualInstrument::Reply::kLong17, 1, "EX5", 1},
                    IdentifyCase{"fallback", VirtualInstrument::Reply::kEX5, 5, "EX5", 5},
                    IdentifyCase{"silent", VirtualInstrument::Reply::kSilent, 1,
                                 "No reply to ID request.", 127},
                    IdentifyCase{"garbage", VirtualInstrument::Reply::kGarbage, 1, "", 1}),
    [](const testing::TestParamInfo<IdentifyCase>& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            c = c == '-' ? '_' : c;
        }
        return name;
    });

TEST_F(JobsTest, ACancelledIdentificationStillClosesAndSignals) {
    Run(&EXWorker::IdentifyThread, true);
    EXPECT_EQ(Log(), FixtureLog("identify-cancelled"));
    EXPECT_EQ(m_IdentDone.texts, kDone);
}

TEST_F(JobsTest, AMissingInputDeviceIsTheJobsError) {
    m_Job.m_MidiInDevice = -1;
    Run(&EXWorker::IdentifyThread);
    EXPECT_EQ(Log(), FixtureLog("identify-no-input"));
    EXPECT_STREQ(m_Job.m_InstrumentText, "");
    m_Job.m_Patch = PatchWith(1).release();
    Run(&EXWorker::SendVoiceThread);
    EXPECT_EQ(Log(), FixtureLog("identify-no-input") + FixtureLog("send-no-input"));
    EXPECT_EQ(m_Job.m_Patch, nullptr);
    EXPECT_FALSE(m_Instrument->LastVoice().has_value());
    EXPECT_EQ(m_SendDone.texts, kDone);
}

// Something stands where the log goes that cannot take it, even for root: a folder, or a named
// pipe that nothing reads, whose opening would hold the job for good.
class NoLogTest : public JobsTest, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        JobsTest::SetUp();
        if (GetParam()) {
            ASSERT_EQ(mkfifo("Sonavist.log", 0600), 0);
        } else {
            std::filesystem::create_directory("Sonavist.log");
        }
    }
};

TEST_P(NoLogTest, TheIdentificationTellsTheStatusSink) {
    Run(&EXWorker::IdentifyThread);
    ASSERT_EQ(m_Status.texts.size(), 2u);
    EXPECT_EQ(m_Status.texts[0], "EXWorker.cpp:146 Cannot open log file\r\n");
    EXPECT_EQ(m_Status.texts[1].rfind("Finished instrument ident on ", 0), 0u);
    EXPECT_EQ(m_IdentDone.texts, kDone);
    EXPECT_STREQ(m_Job.m_InstrumentText, "");
    EXPECT_STREQ(m_Job.m_ErrorLine, "EXWorker.cpp:146 Cannot open log file");
    EXPECT_EQ(m_Job.m_LogError, GetParam() ? ENXIO : EISDIR);
}

TEST_P(NoLogTest, TheSendShowsNothingAndDestroysThePatch) {
    m_Job.m_Patch = PatchWith(1).release();
    Run(&EXWorker::SendVoiceThread);
    EXPECT_TRUE(m_Status.texts.empty());
    EXPECT_EQ(m_SendDone.texts, kDone);
    EXPECT_EQ(m_Job.m_Patch, nullptr);
    EXPECT_FALSE(m_Instrument->LastVoice().has_value());
    EXPECT_STREQ(m_Job.m_ErrorLine, "EXWorker.cpp:60 Cannot open log file");
    EXPECT_EQ(m_Job.m_LogError, GetParam() ? ENXIO : EISDIR);
}

INSTANTIATE_TEST_SUITE_P(InTheLogsPlace, NoLogTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "NamedPipe" : "Folder"; });

class SendJobTest : public JobsTest, public testing::WithParamInterface<int> {};

TEST_P(SendJobTest, TheInstrumentReceivesTheDumpByteForByte) {
    const int elements = GetParam();
    auto expected = PatchWith(elements);
    const uint8_t* dump = expected->BuildDump();
    m_Job.m_MidiDelay = 400;  // the dump's time on the cable
    m_Job.m_Patch = PatchWith(elements).release();
    Run(&EXWorker::SendVoiceThread);
    EXPECT_EQ(Log(), FixtureLog("send-voice"));
    ASSERT_TRUE(VoiceArrived());
    EXPECT_EQ(m_Instrument->LastVoice()->dump,
              std::vector<uint8_t>(dump, dump + expected->GetDumpLength()));
    EXPECT_EQ(m_Instrument->LastVoice()->elements, elements);
    EXPECT_TRUE(m_Instrument->LastVoice()->checksumOk);
    EXPECT_EQ(m_SendDone.texts, kDone);
    EXPECT_TRUE(m_IdentDone.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(Elements, SendJobTest, testing::Values(1, 2, 3, 4));

// What the completion sees of the job's outcome when it is signalled.
class OutcomeSink : public TextSink {
public:
    explicit OutcomeSink(const EXParams& job) : m_Job(job) {}
    void InsertText(const char*) override {
        result = m_Job.m_Result;
        errorLine = m_Job.m_ErrorLine;
        logError = m_Job.m_LogError;
    }
    unsigned result = 99;
    std::string errorLine = "not signalled";
    int logError = -1;

private:
    const EXParams& m_Job;
};

TEST_F(JobsTest, TheCompletionSeesTheFirstErrorLineAndNotAnEarlierJobs) {
    OutcomeSink done(m_Job);
    m_Job.m_SendDoneWnd = &done;
    m_Job.m_IdentDoneWnd = &done;
    m_Job.m_MidiInDevice = -1;
    m_Job.m_Patch = PatchWith(1).release();
    Run(&EXWorker::SendVoiceThread);
    EXPECT_EQ(Masked(done.errorLine), "MidiInWin.cpp:<line> Cannot open MIDI device for input");
    EXPECT_EQ(done.logError, 0);
    m_Job.m_MidiInDevice = 0;
    Run(&EXWorker::IdentifyThread);
    EXPECT_EQ(done.errorLine, "");
    EXPECT_EQ(done.result, 0u);
    EXPECT_STREQ(m_Job.m_InstrumentText, "EX5");
}

// A log on a full disk: the voice arrives, and the outcome says why the log lacks it.
TEST_F(JobsTest, ALogThatCannotBeWrittenLeavesTheSendGoodAndSaysWhy) {
    ASSERT_EQ(symlink("/dev/full", "Sonavist.log"), 0);
    OutcomeSink done(m_Job);
    m_Job.m_SendDoneWnd = &done;
    m_Job.m_Patch = PatchWith(2).release();
    Run(&EXWorker::SendVoiceThread);
    EXPECT_EQ(done.errorLine, "");
    EXPECT_EQ(done.result, 0u);
    EXPECT_EQ(done.logError, ENOSPC);
    ASSERT_TRUE(VoiceArrived());
    EXPECT_TRUE(m_Instrument->LastVoice()->checksumOk);
}

struct DelayCase {
    const char* name;
    uint32_t sysexDelay;
    uint32_t midiDelay;
    int elements;
};

void PrintTo(const DelayCase& c, std::ostream* os) {
    *os << c.name;
}

class DelayTest : public JobsTest, public testing::WithParamInterface<DelayCase> {};

// Delays shorter than the dump's time on the cable (139 ms for one element, 285 ms for four)
// once gave up on the message still leaving.
TEST_P(DelayTest, TheVoiceArrivesWholeWhateverTheDelays) {
    const DelayCase& c = GetParam();
    auto expected = PatchWith(c.elements);
    const uint8_t* dump = expected->BuildDump();
    m_Job.m_Delay = c.sysexDelay;
    m_Job.m_MidiDelay = c.midiDelay;
    m_Job.m_Patch = PatchWith(c.elements).release();
    Run(&EXWorker::SendVoiceThread);
    EXPECT_STREQ(m_Job.m_ErrorLine, "") << Log();
    EXPECT_EQ(Log().find("Error"), std::string::npos) << Log();
    ASSERT_TRUE(VoiceArrived());
    EXPECT_EQ(m_Instrument->LastVoice()->dump,
              std::vector<uint8_t>(dump, dump + expected->GetDumpLength()));
    EXPECT_TRUE(m_Instrument->LastVoice()->checksumOk);
}

INSTANTIATE_TEST_SUITE_P(
    Delays, DelayTest,
    testing::Values(DelayCase{"none_1", 0, 0, 1}, DelayCase{"none_4", 0, 0, 4},
                    DelayCase{"noMidiDelay_1", 25, 0, 1}, DelayCase{"noMidiDelay_4", 25, 0, 4},
                    DelayCase{"shortest_1", 5, 50, 1}, DelayCase{"shortest_4", 5, 50, 4},
                    DelayCase{"default_1", 25, 500, 1}, DelayCase{"default_4", 25, 500, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobsTest, SendsAppendAndAnIdentificationStartsANewLog) {
    for (int i = 0; i < 2; ++i) {
        m_Job.m_MidiDelay = 200;
        m_Job.m_Patch = PatchWith(1).release();
        Run(&EXWorker::SendVoiceThread);
    }
    EXPECT_EQ(Log(), FixtureLog("send-voice") + FixtureLog("send-voice"));
    Run(&EXWorker::IdentifyThread);
    EXPECT_EQ(Log(), FixtureLog("identify-ex5"));
}

}  // namespace
