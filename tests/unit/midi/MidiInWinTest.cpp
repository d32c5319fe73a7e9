#include <vector>

#include "midi/MidiInWin.h"
#include "midi/MidiParams.h"
#include "support/RaisedError.h"
#include "unit/midi/PortFixture.h"

namespace {

using Op = FakeMidiDriver::Op;
using Bytes = std::vector<uint8_t>;

// A SysEx message of `length` bytes: F0, a counting body, and F7 when `terminated`.
Bytes Sysex(size_t length, uint8_t seed = 0, bool terminated = true) {
    Bytes message(length);
    for (size_t i = 0; i < length; ++i) {
        message[i] = static_cast<uint8_t>((i + seed) & 0x7F);
    }
    message.front() = 0xF0;
    if (terminated) {
        message.back() = 0xF7;
    }
    return message;
}

Bytes Join(const std::vector<Bytes>& messages) {
    Bytes joined;
    for (const Bytes& message : messages) {
        joined.insert(joined.end(), message.begin(), message.end());
    }
    return joined;
}

class MidiInWinTest : public PortFixture {};

struct SizingCase {
    int32_t capacity;
    int32_t buffers;
};

class MidiInWinSizingTest : public PortFixture, public testing::WithParamInterface<SizingCase> {};

TEST_P(MidiInWinSizingTest, QueuesOneBufferPerKilobyteAndOneMore) {
    MidiInWin port;
    port.Open(0);
    port.Start(m_Job, GetParam().capacity, 1);
    EXPECT_EQ(port.GetBufferCount(), GetParam().buffers);
    EXPECT_EQ(m_Driver->QueuedBuffers(), static_cast<size_t>(GetParam().buffers));
    port.Close(m_Job);
    EXPECT_EQ(m_Driver->QueuedBuffers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Capacities, MidiInWinSizingTest,
                         testing::Values(SizingCase{0, 1}, SizingCase{1023, 1}, SizingCase{1024, 2},
                                         SizingCase{4096, 5}, SizingCase{-1, 1}));

struct ReceiveCase {
    const char* name;
    std::vector<Bytes> messages;
    int32_t expected;        // messages asked for at Start
    bool expectEvent;        // set before the port is stopped
    int32_t expectReceived;  // after the stop
    int32_t index;
    int32_t capacity;
    Bytes expectRead;
};

class MidiInWinReceiveTest : public PortFixture, public testing::WithParamInterface<ReceiveCase> {};

// The conversation's order: start, input arrives, wait, stop, read.
TEST_P(MidiInWinReceiveTest, CountsWholeMessagesAndReadsThemBack) {
    const ReceiveCase& c = GetParam();
    MidiInWin port;
    port.Open(0);
    Event& event = port.Start(m_Job, 4096, c.expected);
    m_Driver->Deliver(Join(c.messages));
    m_Driver->Flush();
    EXPECT_EQ(event.IsSet(), c.expectEvent);
    port.Stop(m_Job);
    EXPECT_EQ(port.GetReceivedCount(), c.expectReceived);

    Bytes dest(4200, 0xEE);
    EXPECT_EQ(port.ReadMessage(dest.data(), c.capacity, c.index),
              static_cast<int32_t>(c.expectRead.size()));
    EXPECT_EQ(Bytes(dest.begin(), dest.begin() + c.expectRead.size()), c.expectRead);
    // The rest of the room is zeroed; beyond it nothing is touched.
    for (int32_t i = static_cast<int32_t>(c.expectRead.size()); i < c.capacity; ++i) {
        ASSERT_EQ(dest[i], 0) << i;
    }
    EXPECT_EQ(dest[c.capacity], 0xEE);
    port.Close(m_Job);
}

const Bytes kReply = Sysex(15, 1);
const Bytes kSecondReply = Sysex(15, 9);
const Bytes kFullBuffer = Sysex(1024, 2);
const Bytes kLong = Sysex(2000, 3);
const Bytes kCutOff = Sysex(500, 4, false);

INSTANTIATE_TEST_SUITE_P(
    Messages, MidiInWinReceiveTest,
    testing::Values(
        ReceiveCase{"identityReply", {kReply}, 1, true, 1, 0, 4096, kReply},
        ReceiveCase{"fillsOneBufferExactly", {kFullBuffer}, 1, true, 1, 0, 4096, kFullBuffer},
        ReceiveCase{"spansTwoBuffers", {kLong}, 1, true, 1, 0, 4096, kLong},
        ReceiveCase{"secondOfTwo", {kReply, kSecondReply}, 2, true, 2, 1, 4096, kSecondReply},
        ReceiveCase{"oneOfTwoExpected", {kReply}, 2, false, 1, 0, 4096, kReply},
        ReceiveCase{"roomSmallerThanReply",
                    {kReply},
                    1,
                    true,
                    1,
                    0,
                    10,
                    Bytes(kReply.begin(), kReply.begin() + 10)},
        ReceiveCase{"nothingArrived", {}, 1, false, 0, 0, 4096, {}},
        ReceiveCase{"indexBeyondWhatArrived", {kReply}, 1, true, 1, 1, 4096, {}},
        // Stopped mid-message: the stop returns the part, which counts but does not end a read.
        ReceiveCase{"cutOffByStop", {kCutOff}, 1, false, 1, 0, 4096, kCutOff},
        // The third message finds one buffer left: its start is kept, the rest is lost.
        ReceiveCase{"moreThanTheBuffersHold",
                    {kLong, kLong, kLong},
                    3,
                    false,
                    2,
                    2,
                    4096,
                    Bytes(kLong.begin(), kLong.begin() + 1024)}),
    [](const auto& info) { return info.param.name; });

TEST_F(MidiInWinTest, ShortMessagesOnlySetTheirStatusBit) {
    MidiInWin port;
    port.Open(0);
    Event& event = port.Start(m_Job, 4096, 1);
    m_Driver->DeliverShort(0xFE);  // Active Sensing
    m_Driver->Flush();
    EXPECT_EQ(port.GetCallbackStatus(), MidiInWin::kStatusData);
    EXPECT_EQ(port.GetReceivedCount(), 0);
    EXPECT_FALSE(event.IsSet());
    port.Close(m_Job);
}

// The bits are cleared before the restart stops and resets the port, so the buffers the reset
// gives back still show.
TEST_F(MidiInWinTest, RestartKeepsTheBitsOfItsOwnReset) {
    MidiInWin port;
    port.Open(0);
    port.Start(m_Job, 4096, 1);
    port.Start(m_Job, 4096, 1);
    EXPECT_EQ(port.GetCallbackStatus(), MidiInWin::kStatusLongData);
    EXPECT_EQ(port.GetReceivedCount(), 0);
    port.Close(m_Job);
}

TEST_F(MidiInWinTest, ReplyFromADriverThreadWakesTheWaiter) {
    m_Driver->SetResponder([](const Bytes&) { return kReply; });
    MidiInWin port;
    MidiOutWin out;
    port.Open(0);
    out.Open(m_Job);
    Event& event = port.Start(m_Job, 4096, 1);
    out.SendLong(m_Job, kReply.data(), static_cast<int32_t>(kReply.size()));
    ASSERT_TRUE(event.Wait(10000));
    port.Stop(m_Job);
    Bytes dest(4096);
    EXPECT_EQ(port.ReadMessage(dest.data(), 4096, 0), 15);
    port.Close(m_Job);
    out.Close(m_Job);
}

struct WaitCase {
    const char* name;
    uint32_t stillPlaying;  // polls each returned buffer answers still-playing
    uint32_t tries;
    const char* expectLog;
    const char* expectError;
};

class MidiInWinWaitTest : public PortFixture, public testing::WithParamInterface<WaitCase> {};

TEST_P(MidiInWinWaitTest, CloseWaitsForEveryBuffer) {
    const WaitCase& c = GetParam();
    m_Job.m_Tries = c.tries;
    m_Driver->SetStillPlaying(Op::InUnprepare, c.stillPlaying);
    MidiInWin port;
    port.Open(0);
    port.Start(m_Job, 2048, 1);  // three buffers

    const RaisedError raised = RaisedError::From([&] { port.Close(m_Job); });

    EXPECT_EQ(raised.message, c.expectError);
    EXPECT_EQ(m_Log.Text(), c.expectLog);
    EXPECT_EQ(port.IsOpen(), *c.expectError != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Polls, MidiInWinWaitTest,
    testing::Values(WaitCase{"returnedAtOnce", 0, 4, "", ""},
                    WaitCase{"eachBufferWaitsAgain", 1, 4,
                             "Waiting for MIDI in.Waiting for MIDI in.Waiting for MIDI in.", ""},
                    WaitCase{"backOnLastTry", 3, 4,
                             "Waiting for MIDI in...Waiting for MIDI in...Waiting for MIDI in...",
                             ""},
                    WaitCase{"heldAfterLastTry", 4, 4, "Waiting for MIDI in....",
                             "Error 0x41 unpreparing MIDI input buffer"},
                    WaitCase{"zeroTriesStillPollsOnce", 1, 0, "Waiting for MIDI in.",
                             "Error 0x41 unpreparing MIDI input buffer"}),
    [](const auto& info) { return info.param.name; });

struct FailureCase {
    const char* name;
    Op op;
    std::vector<MidiResult> script;
    const char* expectError;
};

class MidiInWinFailureTest : public PortFixture, public testing::WithParamInterface<FailureCase> {};

// Open, Start, Stop and Close, with one driver call failing; the port is then destroyed with
// whatever it had reached.
TEST_P(MidiInWinFailureTest, EachDriverFailureHasItsText) {
    const FailureCase& c = GetParam();
    m_Driver->Script(c.op, c.script);
    {
        MidiInWin port;
        const RaisedError raised = RaisedError::From([&] {
            port.Open(0);
            port.Start(m_Job, 4096, 1);
            port.Stop(m_Job);
            port.Close(m_Job);
        });
        EXPECT_EQ(raised.message, c.expectError);
        EXPECT_EQ(raised.module, "MidiInWin.cpp");
    }
    EXPECT_EQ(m_Driver->QueuedBuffers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, MidiInWinFailureTest,
    testing::Values(
        FailureCase{"open", Op::InOpen, {kMidiAllocated}, "Cannot open MIDI device for input"},
        FailureCase{"prepare",
                    Op::InPrepare,
                    {kMidiOk, kMidiOk, kMidiNoMemory},
                    "Error 0x7 preparing MIDI input buffer"},
        FailureCase{"addBuffer",
                    Op::InAddBuffer,
                    {kMidiOk, kMidiInvalidParam},
                    "Error 0xB adding MIDI input buffer"},
        FailureCase{"start", Op::InStart, {kMidiError}, "Error 0x1 starting MIDI input device"},
        FailureCase{"stop", Op::InStop, {kMidiNotReady}, "Error 0x43 stopping MIDI input device"},
        FailureCase{
            "unprepare", Op::InUnprepare, {kMidiError}, "Error 0x1 unpreparing MIDI input buffer"},
        FailureCase{"close", Op::InClose, {kMidiError}, "Error 0x1 closing MIDI input device"}),
    [](const auto& info) { return info.param.name; });

TEST_F(MidiInWinTest, NothingSelectedCannotBeOpened) {
    MidiInWin port;
    EXPECT_EQ(RaisedError::From([&] { port.Open(-1); }).message,
              "Cannot open MIDI device for input");
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(MidiInWinTest, StartOnAPortNotOpenReportsTheInvalidHandle) {
    MidiInWin port;
    EXPECT_EQ(RaisedError::From([&] { port.Start(m_Job, 4096, 1); }).message,
              "Error 0x5 preparing MIDI input buffer");
}

TEST_F(MidiInWinTest, StopAndCloseOfAPortNeverOpenedTouchNoDevice) {
    MidiInWin port;
    port.Stop(m_Job);
    port.Close(m_Job);
    EXPECT_TRUE(m_Driver->Calls().empty());
}

TEST_F(MidiInWinTest, PortDestroyedStartedGivesBackEveryBufferAndCloses) {
    m_Driver->SetStillPlaying(Op::InUnprepare, 1);
    {
        MidiInWin port;
        port.Open(0);
        port.Start(m_Job, 4096, 1);
        m_Driver->Deliver(Sysex(100, 0, false));
        m_Driver->Flush();
    }
    EXPECT_EQ(m_Driver->QueuedBuffers(), 0u);
    EXPECT_EQ(m_Driver->Calls().back(), Op::InClose);
    EXPECT_EQ(m_Log.Text(), "");
    // The device is free again.
    MidiInWin again;
    EXPECT_EQ(again.Open(0), 0);
}

TEST_F(MidiInWinTest, NewPairHasNoIdentityAndClosedPorts) {
    MidiParams pair;
    EXPECT_EQ(pair.m_Manufacturer, -1);
    EXPECT_FALSE(pair.m_MidiIn.IsOpen());
    EXPECT_FALSE(pair.m_MidiOut.IsOpen());
    EXPECT_EQ(pair.m_MidiIn.GetBufferCount(), 5);
}

}  // namespace
