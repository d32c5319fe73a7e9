#include <optional>
#include <vector>

#include "midi/MidiOutWin.h"
#include "support/RaisedError.h"
#include "unit/midi/PortFixture.h"

namespace {

using Op = FakeMidiDriver::Op;

const std::vector<uint8_t> kRequest{0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7};

class MidiOutWinTest : public PortFixture {};

TEST_F(MidiOutWinTest, ShortMessageIsPackedStatusFirst) {
    MidiOutWin port;
    ASSERT_EQ(port.Open(m_Job), kMidiOk);
    EXPECT_EQ(port.SendShort(m_Job, 0x90, 60, 64), 0);
    EXPECT_EQ(m_Driver->ShortSent(), std::vector<uint32_t>{0x403C90});
    EXPECT_EQ(port.GetSentCount(), 1);
}

TEST_F(MidiOutWinTest, OpenTwiceOpensTheDeviceOnce) {
    MidiOutWin port;
    ASSERT_EQ(port.Open(m_Job), kMidiOk);
    EXPECT_EQ(port.Open(m_Job), kMidiOk);
    EXPECT_EQ(m_Driver->Calls(), std::vector<Op>{Op::OutOpen});
    port.Close(m_Job);
}

TEST_F(MidiOutWinTest, NothingSelectedFailsOpenQuietlyAndTheSendReportsIt) {
    m_Job.m_MidiOutDevice = -1;
    MidiOutWin port;
    EXPECT_EQ(port.Open(m_Job), kMidiBadDeviceId);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(RaisedError::From([&] { port.SendShort(m_Job, 0x90, 60, 64); }).message,
              "Error 0x5 sending MIDI message");
    EXPECT_EQ(port.GetSentCount(), 0);
}

TEST_F(MidiOutWinTest, CloseOfAPortNeverOpenedTouchesNoDevice) {
    MidiOutWin port;
    port.Close(m_Job);
    port.Close(m_Job);
    EXPECT_TRUE(m_Driver->Calls().empty());
}

TEST_F(MidiOutWinTest, LongMessageGoesOutWhole) {
    MidiOutWin port;
    port.Open(m_Job);
    const std::vector<uint8_t> dump(891, 0x42);
    port.SendLong(m_Job, kRequest.data(), static_cast<int32_t>(kRequest.size()));
    port.SendLong(m_Job, dump.data(), 891);
    port.Close(m_Job);
    EXPECT_EQ(m_Driver->LongSent(), (std::vector<std::vector<uint8_t>>{kRequest, dump}));
    EXPECT_EQ(port.GetSentCount(), 2);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(MidiOutWinTest, MessageLargerThanTheBufferIsRefusedAndNothingSent) {
    MidiOutWin port;
    port.Open(m_Job);
    const std::vector<uint8_t> tooLong(1025, 0x42);
    EXPECT_EQ(RaisedError::From([&] { port.SendLong(m_Job, tooLong.data(), 1025); }).message,
              "MIDI message longer than the send buffer");
    EXPECT_TRUE(m_Driver->LongSent().empty());
    EXPECT_EQ(port.GetSentCount(), 0);
    port.Close(m_Job);
}

struct WaitCase {
    const char* name;
    uint32_t stillPlaying;  // polls answered still-playing
    uint32_t tries;
    const char* expectLog;
    const char* expectError;
};

class MidiOutWinWaitTest : public PortFixture, public testing::WithParamInterface<WaitCase> {};

TEST_P(MidiOutWinWaitTest, NextSendWaitsForThePreviousMessage) {
    const WaitCase& c = GetParam();
    m_Job.m_Tries = c.tries;
    // Longer than the request's 1.92 ms on the cable, so that the tries alone decide.
    m_Job.m_Delay = 5;
    m_Driver->SetStillPlaying(Op::OutUnprepare, c.stillPlaying);
    MidiOutWin port;
    port.Open(m_Job);
    port.SendLong(m_Job, kRequest.data(), static_cast<int32_t>(kRequest.size()));

    const RaisedError raised = RaisedError::From(
        [&] { port.SendLong(m_Job, kRequest.data(), static_cast<int32_t>(kRequest.size())); });

    EXPECT_EQ(raised.message, c.expectError);
    EXPECT_EQ(m_Log.Text(), c.expectLog);
    EXPECT_EQ(port.GetSentCount(), *c.expectError ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(
    Polls, MidiOutWinWaitTest,
    testing::Values(WaitCase{"leftAtOnce", 0, 4, "", ""},
                    WaitCase{"leavesOnLastTry", 3, 4, "Waiting for MIDI Out...", ""},
                    WaitCase{"stillLeavingAfterLastTry", 4, 4, "Waiting for MIDI Out....",
                             "Error 0x41 unpreparing MIDI out header"},
                    WaitCase{"oneTry", 1, 1, "Waiting for MIDI Out.",
                             "Error 0x41 unpreparing MIDI out header"},
                    WaitCase{"zeroTriesStillPollsOnce", 1, 0, "Waiting for MIDI Out.",
                             "Error 0x41 unpreparing MIDI out header"}),
    [](const auto& info) { return info.param.name; });

TEST_F(MidiOutWinTest, WaitWithoutAnOpenLogWritesNothing) {
    m_Job.m_LogFile = nullptr;
    m_Driver->SetStillPlaying(Op::OutUnprepare, 2);
    MidiOutWin port;
    port.Open(m_Job);
    port.SendLong(m_Job, kRequest.data(), static_cast<int32_t>(kRequest.size()));
    port.Close(m_Job);
    EXPECT_EQ(m_Log.Text(), "");
    EXPECT_FALSE(port.IsOpen());
}

struct FailureCase {
    const char* name;
    Op op;
    MidiResult code;
    const char* expectError;
};

class MidiOutWinFailureTest : public PortFixture,
                              public testing::WithParamInterface<FailureCase> {};

// Open, a short message, two long messages and Close, with one driver call failing.
TEST_P(MidiOutWinFailureTest, EachDriverFailureHasItsText) {
    const FailureCase& c = GetParam();
    m_Driver->Script(c.op, {c.code});
    MidiOutWin port;

    const RaisedError raised = RaisedError::From([&] {
        port.Open(m_Job);
        port.SendShort(m_Job, 0xB0, 7, 100);
        port.SendLong(m_Job, kRequest.data(), static_cast<int32_t>(kRequest.size()));
        port.SendLong(m_Job, kRequest.data(), static_cast<int32_t>(kRequest.size()));
        port.Close(m_Job);
    });

    EXPECT_EQ(raised.message, c.expectError);
    EXPECT_EQ(raised.module, "MidiOutWin.cpp");
}

INSTANTIATE_TEST_SUITE_P(Steps, MidiOutWinFailureTest,
                         testing::Values(FailureCase{"openRefused", Op::OutOpen, kMidiAllocated,
                                                     "Error 0x5 sending MIDI message"},
                                         FailureCase{"shortMessage", Op::OutShortMsg, kMidiNotReady,
                                                     "Error 0x43 sending MIDI message"},
                                         FailureCase{"prepare", Op::OutPrepare, kMidiNoMemory,
                                                     "Error 0x7 preparing MIDI out header"},
                                         FailureCase{"longMessage", Op::OutLongMsg, kMidiError,
                                                     "Error 0x1 sending MIDI message"},
                                         FailureCase{"unprepare", Op::OutUnprepare,
                                                     kMidiInvalidParam,
                                                     "Error 0xB unpreparing MIDI out header"}),
                         [](const auto& info) { return info.param.name; });

struct LastCloseCase {
    const char* name;
    uint32_t stillPlaying;
    size_t expectUnprepares;
};

class MidiOutWinLastCloseTest : public PortFixture,
                                public testing::WithParamInterface<LastCloseCase> {};

// The owner never reached Close: the port closes its device on its own, whether or not the
// message left within the short wait, and raises nothing.
TEST_P(MidiOutWinLastCloseTest, PortDestroyedOpenClosesItsDevice) {
    const LastCloseCase& c = GetParam();
    m_Driver->SetStillPlaying(Op::OutUnprepare, c.stillPlaying);
    {
        MidiOutWin port;
        port.Open(m_Job);
        port.SendLong(m_Job, kRequest.data(), static_cast<int32_t>(kRequest.size()));
    }
    std::vector<Op> expect{Op::OutOpen, Op::OutUnprepare, Op::OutPrepare, Op::OutLongMsg};
    expect.insert(expect.end(), c.expectUnprepares, Op::OutUnprepare);
    expect.push_back(Op::OutClose);
    EXPECT_EQ(m_Driver->Calls(), expect);
    EXPECT_EQ(m_Log.Text(), "");
}

INSTANTIATE_TEST_SUITE_P(Waits, MidiOutWinLastCloseTest,
                         testing::Values(LastCloseCase{"messageLeaves", 2, 3},
                                         LastCloseCase{"messageStillLeaving", 100, 4}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
