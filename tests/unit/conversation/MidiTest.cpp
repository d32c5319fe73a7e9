#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "JobTestSupport.h"
#include "conversation/EXParams.h"
#include "conversation/Midi.h"
#include "conversation/TextSink.h"
#include "midi/MidiParams.h"
#include "midi/MidiSystem.h"
#include "platform/ThreadMessageQueue.h"
#include "support/FakeMidiDriver.h"
#include "support/ScratchFolder.h"
#include "voice/EX5Patch.h"
#include "voice/EXException.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The engine against the scripted driver, on the test's own thread, logging to a temporary file.
class MidiTest : public testing::Test {
protected:
    void SetUp() override {
        MidiSystem::Install(m_Fake);
        FillTestRecord(m_Job);
        m_Job.m_StatusWnd = &m_Status;
        m_Job.m_LogFile = std::tmpfile();
        m_Ports = std::make_unique<MidiParams>();
        m_Ports->m_MidiIn.Open(m_Job.m_MidiInDevice);
        m_Ports->m_MidiOut.Open(m_Job);
    }
    void TearDown() override {
        m_Ports->m_MidiIn.Close(m_Job);
        m_Ports->m_MidiOut.Close(m_Job);
        m_Ports.reset();
        std::fclose(m_Job.m_LogFile);
        MidiSystem::Install(nullptr);
    }
    void Answer(const Bytes& reply) {
        m_Fake->SetResponder([reply](const Bytes&) { return reply; });
    }
    std::string Log() { return TextOf(m_Job.m_LogFile); }
    // Runs the step and gives the message of the error it raised, or "" when it raised none.
    template <typename Step>
    std::string Raised(Step step) {
        std::string message;
        EXException::Catch(step, [&](const EXException* error) {
            message = std::string(error->m_SourceFile) + ":" + std::to_string(error->m_Line) + " " +
                      error->m_Message;
        });
        return message;
    }

    std::shared_ptr<FakeMidiDriver> m_Fake = std::make_shared<FakeMidiDriver>();
    EXParams m_Job;
    RecordingSink m_Status;
    std::unique_ptr<MidiParams> m_Ports;
    Midi m_Midi;
};

struct ReplyCase {
    const char* name;
    Bytes reply;
    int32_t manufacturer;
    int32_t member;
    const char* text;
    const char* logWords;
};

const Bytes kEX5Reply = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43, 0x11, 0x22,
                         0x02, 0x33, 0x01, 0x02, 0x03, 0x04, 0xF7};

class IdentityReplyTest : public MidiTest, public testing::WithParamInterface<ReplyCase> {};

TEST_P(IdentityReplyTest, FillsTheIdentityAndNamesTheInstrument) {
    Answer(GetParam().reply);
    ASSERT_EQ(m_Midi.RequestIdentity(m_Job, *m_Ports, false), 0);
    bool family = m_Midi.Identify(m_Job, *m_Ports, true) != nullptr;
    EXPECT_EQ(m_Ports->m_Manufacturer, GetParam().manufacturer);
    EXPECT_EQ(m_Ports->m_Member, GetParam().member);
    EXPECT_STREQ(m_Job.m_InstrumentText, GetParam().text);
    EXPECT_EQ(family, GetParam().manufacturer == 0x43);
    EXPECT_EQ(Log(), std::string("Requesting Id.") + GetParam().logWords);
    EXPECT_EQ(m_Fake->LongSent(), (std::vector<Bytes>{{0xF0, 0x7E, 0x01, 0x06, 0x01, 0xF7}}));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, IdentityReplyTest,
    testing::Values(
        ReplyCase{"EX5", kEX5Reply, 0x43, 6530, "EX5",
                  " Found a Yamaha EX5 with device number [1] at port [Fake In]\r\n"},
        ReplyCase{"EX7",
                  {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43, 0, 0, 0x02, 0x34, 0, 0, 0, 0, 0xF7},
                  0x43,
                  6658,
                  "EX7",
                  " Found a Yamaha EX7 with device number [1] at port [Fake In]\r\n"},
        ReplyCase{"EX5R",
                  {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43, 0, 0, 0x02, 0x40, 0, 0, 0, 0, 0xF7},
                  0x43,
                  8194,
                  "EX5R",
                  " Found a Yamaha EX5R with device number [1] at port [Fake In]\r\n"},
        ReplyCase{"OtherMember",
                  {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43, 0, 0, 0x03, 0x33, 0, 0, 0, 0, 0xF7},
                  0x43,
                  6531,
                  "Yamaha Other",
                  " Found a Yamaha UNKNOWN with device number [1] at port [Fake In]\r\n"},
        ReplyCase{"OtherMaker",
                  {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x41, 0, 0, 0x02, 0x33, 0, 0, 0, 0, 0xF7},
                  0x41,
                  6530,
                  "Nothing known found.",
                  " No recognized instruments found\r\n"},
        ReplyCase{"Short14",
                  {0xF0, 0x7E, 0x00, 0x06, 0x02, 0, 0, 0x02, 0x33, 0, 0, 0, 0, 0xF7},
                  0x41,
                  6530,
                  "Nothing known found.",
                  " No recognized instruments found\r\n"},
        ReplyCase{
            "Long17",
            {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x43, 0x00, 0, 0, 0x02, 0x40, 0, 0, 0, 0, 0xF7},
            0x43,
            8194,
            "EX5R",
            " Found a Yamaha EX5R with device number [1] at port [Fake In]\r\n"}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return info.param.name; });

struct BadReplyCase {
    const char* name;
    Bytes reply;
    const char* log;
};

class UntranslatableReplyTest : public MidiTest,
                                public testing::WithParamInterface<BadReplyCase> {};

TEST_P(UntranslatableReplyTest, DumpsTheReplyAndTriesNoMore) {
    Answer(GetParam().reply);
    EXPECT_EQ(Raised([&] { m_Midi.RequestIdentity(m_Job, *m_Ports, false); }),
              "Midi.cpp:116 Cannot translate the reply.");
    EXPECT_EQ(Log(), GetParam().log);
    EXPECT_EQ(m_Fake->LongSent().size(), 1u);
    EXPECT_EQ(m_Ports->m_Manufacturer, -1);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, UntranslatableReplyTest,
    testing::Values(
        BadReplyCase{
            "Long17NotZero",
            {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x01, 0x43, 0, 0, 0, 0x02, 0x33, 0, 0, 0, 0, 0xF7},
            "Requesting Id. Received 17 bytes from device number 1 at Fake In\r\n"
            "[ F0 7E 00 06 02 01 43 00 00 00 02 33 00 00 00 00 F7 ]\r\n"},
        BadReplyCase{"Length16",
                     {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x43, 0, 0, 0x02, 0x33, 0, 0, 0, 0, 0, 0xF7},
                     "Requesting Id. Received 16 bytes from device number 1 at Fake In\r\n"
                     "[ F0 7E 00 06 02 43 00 00 02 33 00 00 00 00 00 F7 ]\r\n"},
        BadReplyCase{"NotAnIdentityReply",
                     {0xF0, 0x7E, 0x00, 0x06, 0x03, 0x43, 0, 0, 0x02, 0x33, 0, 0, 0, 0, 0xF7},
                     "Requesting Id. Received 15 bytes from device number 1 at Fake In\r\n"
                     "[ F0 7E 00 06 03 43 00 00 02 33 00 00 00 00 F7 ]\r\n"}),
    [](const testing::TestParamInfo<BadReplyCase>& info) { return info.param.name; });

TEST_F(MidiTest, AnAllCallReplyTakesTheAnsweringDeviceNumber) {
    Bytes reply = kEX5Reply;
    reply[2] = 0x85;  // only the low seven bits are the number
    Answer(reply);
    m_Job.m_DeviceNo = 127;
    ASSERT_EQ(m_Midi.RequestIdentity(m_Job, *m_Ports, true), 0);
    EXPECT_EQ(m_Job.m_DeviceNo, 5u);
    EXPECT_EQ(m_Midi.Identify(m_Job, *m_Ports, false), nullptr);
    EXPECT_EQ(Log(),
              "Requesting Id. Found a Yamaha EX5 with device number [5] at port [Fake In]\r\n"
              "Please check the MIDI Parameters\r\n");
}

TEST_F(MidiTest, SilenceTakesEveryTryAndLeavesNoIdentity) {
    m_Job.m_Timeout = 5;
    EXPECT_EQ(m_Midi.RequestIdentity(m_Job, *m_Ports, false), -1);
    EXPECT_EQ(m_Fake->LongSent().size(), 4u);
    m_Midi.Identify(m_Job, *m_Ports, false);
    EXPECT_STREQ(m_Job.m_InstrumentText, "No reply to ID request.");
    EXPECT_EQ(Log(), "Requesting Id.... No reply to ID request\r\n");
}

TEST_F(MidiTest, APendingCancellationSendsNothing) {
    ThreadMessageQueue::Post(std::this_thread::get_id(), Midi::kCancelMessage);
    EXPECT_EQ(Raised([&] { m_Midi.RequestIdentity(m_Job, *m_Ports, false); }),
              "Midi.cpp:160 Job Cancelled");
    EXPECT_TRUE(m_Fake->LongSent().empty());
    EXPECT_EQ(Log(), "");
}

struct VerboseCase {
    const char* name;
    Bytes reply;
    const char* log;
};

class VerboseRequestTest : public MidiTest, public testing::WithParamInterface<VerboseCase> {};

TEST_P(VerboseRequestTest, DumpsWhatWasSentAndReceived) {
    m_Job.m_Verbose = 1;
    m_Job.m_Timeout = 5;
    if (!GetParam().reply.empty()) {
        m_Job.m_Timeout = 1000;
        Answer(GetParam().reply);
    }
    Bytes reply(Midi::kReplyCapacity);
    const Bytes request = {0xF0, 0x7E, 0x01, 0x06, 0x01, 0xF7};
    int32_t length = m_Midi.SendRequest(m_Job, *m_Ports, "Requesting Id", 0, reply.data(),
                                        Midi::kReplyCapacity, request.data(), 6, 1);
    EXPECT_EQ(length, static_cast<int32_t>(GetParam().reply.size()));
    EXPECT_EQ(Log(), GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, VerboseRequestTest,
    testing::Values(
        VerboseCase{
            "Answered", kEX5Reply,
            "Requesting Id. Message 1 Sent 6 bytes: F0 7E 01 06 01 F7\r\n"
            " Status=8 Received 1 messages\r\n"
            " Received 1 message\r\n"
            " Message 1 Received 15 bytes: F0 7E 00 06 02 43 11 22 02 33 01 02 03 04 F7\r\n"},
        VerboseCase{"Silent",
                    {},
                    "Requesting Id. Message 1 Sent 6 bytes: F0 7E 01 06 01 F7\r\n"
                    " Status=0 Received 0 messages\r\n"
                    " Message 1 Received 0 bytes:\r\n"}),
    [](const testing::TestParamInfo<VerboseCase>& info) { return info.param.name; });

TEST_F(MidiTest, AShortMessageIsPackedAndLoggedInDetail) {
    m_Job.m_Verbose = 1;
    EXPECT_EQ(m_Midi.SendShortMessage(m_Job, *m_Ports, 0x90, 60, 64), 0);
    EXPECT_EQ(m_Fake->ShortSent(), std::vector<uint32_t>{0x403C90});
    EXPECT_EQ(Log(), " Sent 3 bytes: 90 3C 40\r\n");
}

class SendVoiceTest : public MidiTest, public testing::WithParamInterface<int> {};

TEST_P(SendVoiceTest, SendsTheWholeDumpOnceAndDestroysThePatch) {
    const int elements = GetParam();
    const size_t lengths[] = {0, 435, 587, 739, 891};
    auto expected = PatchWith(elements);
    const uint8_t* dump = expected->BuildDump();
    m_Job.m_Patch = PatchWith(elements).release();
    EXPECT_EQ(m_Midi.SendVoice(m_Job, *m_Ports), 0);
    EXPECT_EQ(m_Job.m_Patch, nullptr);
    EXPECT_EQ(m_Fake->LongSent(), std::vector<Bytes>{Bytes(dump, dump + lengths[elements])});
    EXPECT_EQ(Log(), "SendSysexVoice confirms: Voice sent\n");
}

INSTANTIATE_TEST_SUITE_P(Elements, SendVoiceTest, testing::Values(1, 2, 3, 4));

TEST_F(MidiTest, AFailedSendStillDestroysThePatch) {
    m_Fake->Script(FakeMidiDriver::Op::OutLongMsg, {kMidiError});
    m_Job.m_Patch = PatchWith(1).release();
    EXPECT_NE(
        Raised([&] { m_Midi.SendVoice(m_Job, *m_Ports); }).find(" Error 0x1 sending MIDI message"),
        std::string::npos);
    EXPECT_EQ(m_Job.m_Patch, nullptr);
}

TEST_F(MidiTest, AVoiceWithoutElementsIsNotSent) {
    m_Job.m_Patch = PatchWith(0).release();
    EXPECT_NE(Raised([&] { m_Midi.SendVoice(m_Job, *m_Ports); }).find(" No voice to send"),
              std::string::npos);
    EXPECT_EQ(m_Job.m_Patch, nullptr);
    EXPECT_TRUE(m_Fake->LongSent().empty());
}

TEST_F(MidiTest, ReadFileBytesStopsAtTheCapacity) {
    const ScratchFolder folder("sonavist-read");
    const std::string path = folder.File("ten-bytes.bin");
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite("0123456789", 1, 10, file);
    std::fclose(file);
    uint8_t buffer[8] = {};
    EXPECT_EQ(m_Midi.ReadFileBytes(buffer, path.c_str(), 4), 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), "0123");
    EXPECT_EQ(m_Midi.ReadFileBytes(buffer, (path + ".missing").c_str(), 4), 0);
}

struct DirectCase {
    const char* name;
    FakeMidiDriver::Op op;
    MidiResult result;
    uint32_t stillPlaying;
    size_t sent;
    std::vector<std::string> status;
};

class SendSysexDirectTest : public MidiTest, public testing::WithParamInterface<DirectCase> {};

TEST_P(SendSysexDirectTest, AnswersOneAndReportsFailuresToTheStatusSink) {
    if (GetParam().stillPlaying) {
        m_Fake->SetStillPlaying(FakeMidiDriver::Op::OutUnprepare, GetParam().stillPlaying);
    } else {
        m_Fake->Script(GetParam().op, {GetParam().result});
    }
    const Bytes message = {0xF0, 0x43, 0x10, 0x5B, 0xF7};
    EXPECT_EQ(m_Midi.SendSysexDirect(m_Job, *m_Ports, nullptr, 0, message.data(), 5), 1);
    EXPECT_EQ(m_Fake->LongSent().size(), GetParam().sent);
    EXPECT_EQ(m_Status.texts, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, SendSysexDirectTest,
    testing::Values(DirectCase{"Sent", FakeMidiDriver::Op::OutOpen, kMidiOk, 0, 1, {}},
                    DirectCase{"OpenFails", FakeMidiDriver::Op::OutOpen, kMidiAllocated, 0, 0, {}},
                    DirectCase{
                        "PrepareFails", FakeMidiDriver::Op::OutPrepare, kMidiNoMemory, 0, 0, {}},
                    DirectCase{"SendFails",
                               FakeMidiDriver::Op::OutLongMsg,
                               kMidiNotReady,
                               0,
                               0,
                               {"Error 0x43 sending MIDI message"}},
                    DirectCase{"NeverLeaves",
                               FakeMidiDriver::Op::OutOpen,
                               kMidiOk,
                               100000,
                               1,
                               {"Error 0x41 unpreparing MIDI out header"}}),
    [](const testing::TestParamInfo<DirectCase>& info) { return info.param.name; });

TEST_F(MidiTest, UnsupportedAnswersMinusOne) {
    EXPECT_EQ(m_Midi.Unsupported(m_Job, *m_Ports), -1);
}

}  // namespace
