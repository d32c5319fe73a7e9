#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "midi/virtual/VirtualInstrumentDriver.h"
#include "support/TestInputBuffers.h"
#include "support/TestVoiceDump.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Polls until `done` holds or a generous limit passes; the limit only guards against a hang.
bool WaitFor(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class VirtualInstrumentDriverTest : public ::testing::Test {
protected:
    void OpenInput() {
        ASSERT_EQ(driver.InOpen(0, in, TestInputBuffers::Callback, buffers.Instance()), kMidiOk);
        for (int i = 0; i < TestInputBuffers::kCount; ++i) {
            ASSERT_EQ(driver.InPrepare(in, buffers.Header(i)), kMidiOk);
            ASSERT_EQ(driver.InAddBuffer(in, buffers.Header(i)), kMidiOk);
        }
        ASSERT_EQ(driver.InStart(in), kMidiOk);
    }

    void Send(Bytes& bytes, MidiHeader& header) {
        header.data = bytes.data();
        header.bufferLength = static_cast<uint32_t>(bytes.size());
        ASSERT_EQ(driver.OutPrepare(out, &header), kMidiOk);
        ASSERT_EQ(driver.OutLongMsg(out, &header), kMidiOk);
    }

    void SetUp() override { ASSERT_EQ(driver.OutOpen(0, out), kMidiOk); }

    std::shared_ptr<VirtualInstrument> instrument = std::make_shared<VirtualInstrument>();
    VirtualInstrumentDriver driver{instrument};
    MidiHandle out = 0;
    MidiHandle in = 0;
    TestInputBuffers buffers;
};

TEST_F(VirtualInstrumentDriverTest, HasOneDeviceEachWay) {
    EXPECT_EQ(driver.OutCount(), 1u);
    EXPECT_EQ(driver.InCount(), 1u);
    EXPECT_EQ(driver.OutName(0), "Sonavist Virtual EX5");
    EXPECT_EQ(driver.InName(0), "Sonavist Virtual EX5");
    EXPECT_EQ(driver.OutName(1), "");
    MidiHandle handle = 0;
    EXPECT_EQ(driver.OutOpen(1, handle), kMidiBadDeviceId);
    EXPECT_EQ(driver.InOpen(0xFFFFFFFF, handle, TestInputBuffers::Callback, 0), kMidiBadDeviceId);
    EXPECT_EQ(driver.OutShortMsg(0, 0x90), kMidiInvalidHandle);
    EXPECT_EQ(driver.InStart(out), kMidiInvalidHandle);  // an output handle is no input
}

TEST_F(VirtualInstrumentDriverTest, RepliesToTheIdentityRequestIntoTheQueuedBuffers) {
    OpenInput();
    Bytes request = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    MidiHeader header;
    Send(request, header);
    ASSERT_TRUE(WaitFor([&] { return !buffers.Buffers().empty(); }));
    const auto received = buffers.Buffers();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].size(), 15u);
    EXPECT_EQ(received[0][5], 0x43);
    EXPECT_EQ(buffers.Header(0)->flags & (MidiHeader::kDone | MidiHeader::kInQueue),
              MidiHeader::kDone);

    EXPECT_EQ(driver.InClose(in), kMidiStillPlaying);  // four buffers still queued
    EXPECT_EQ(driver.InReset(in), kMidiOk);
    EXPECT_EQ(driver.InClose(in), kMidiOk);
    const auto all = buffers.All();
    EXPECT_EQ(all.front().message, kMimOpen);
    EXPECT_EQ(all.back().message, kMimClose);
    EXPECT_EQ(all.size(), 2u + TestInputBuffers::kCount);
}

class VirtualInstrumentReplyTime : public VirtualInstrumentDriverTest,
                                   public ::testing::WithParamInterface<int> {};

// Never sooner than the request and the reply take on the cable, after the latency; a lower
// bound only, which no slow machine can break.
TEST_P(VirtualInstrumentReplyTime, ReplyComesNoSoonerThanLatencyAndCableTime) {
    instrument->SetLatency(std::chrono::milliseconds(GetParam()));
    OpenInput();
    Bytes request = {0xF0, 0x7E, 0x01, 0x06, 0x01, 0xF7};
    MidiHeader header;
    const auto sent = std::chrono::steady_clock::now();
    Send(request, header);
    ASSERT_TRUE(WaitFor([&] { return !buffers.Buffers().empty(); }));
    const auto elapsed = std::chrono::steady_clock::now() - sent;
    EXPECT_GE(elapsed, std::chrono::milliseconds(GetParam()) + (6 + 15) * MidiOutQueue::kByteTime);
}

INSTANTIATE_TEST_SUITE_P(Latencies, VirtualInstrumentReplyTime, ::testing::Values(0, 30));

TEST_F(VirtualInstrumentDriverTest, LongMessageIsStillPlayingWhileItsBytesLeave) {
    Bytes dump = TestVoiceDump("Long Dump", 4);
    MidiHeader header;
    Send(dump, header);
    // 891 bytes take about 285 ms at cable speed.
    EXPECT_EQ(driver.OutUnprepare(out, &header), kMidiStillPlaying);
    EXPECT_EQ(driver.OutLongMsg(out, &header), kMidiStillPlaying);
    EXPECT_FALSE(instrument->LastVoice().has_value());
    ASSERT_TRUE(WaitFor([&] { return driver.OutUnprepare(out, &header) == kMidiOk; }));
    EXPECT_EQ(header.flags & (MidiHeader::kDone | MidiHeader::kPrepared), MidiHeader::kDone);
    ASSERT_TRUE(WaitFor([&] { return instrument->LastVoice().has_value(); }));
    EXPECT_EQ(instrument->LastVoice()->dump, dump);
    EXPECT_EQ(driver.OutUnprepare(out, &header), kMidiOk);
}

TEST_F(VirtualInstrumentDriverTest, CloseLetsAPendingDumpFinish) {
    Bytes dump = TestVoiceDump("Closed Early", 1);
    MidiHeader header;
    Send(dump, header);
    EXPECT_EQ(driver.OutClose(out), kMidiOk);
    EXPECT_EQ(header.flags & (MidiHeader::kDone | MidiHeader::kInQueue), MidiHeader::kDone);
    ASSERT_TRUE(WaitFor([&] { return instrument->LastVoice().has_value(); }));
    EXPECT_EQ(instrument->LastVoice()->dump, dump);
    EXPECT_EQ(driver.OutClose(out), kMidiInvalidHandle);
}

TEST_F(VirtualInstrumentDriverTest, MessagesArriveInTheOrderSent) {
    Bytes dump = TestVoiceDump("Order", 2);
    MidiHeader header;
    Send(dump, header);
    ASSERT_EQ(driver.OutShortMsg(out, 0x403C90), kMidiOk);  // sent while the dump still leaves
    ASSERT_TRUE(WaitFor([&] { return instrument->ReceivedMessages().size() == 2; }));
    EXPECT_EQ(instrument->ReceivedMessages()[0], dump);
    EXPECT_EQ(instrument->ReceivedMessages()[1], (Bytes{0x90, 0x3C, 0x40}));
    EXPECT_EQ(instrument->SoundingNotes().size(), 1u);
}

TEST_F(VirtualInstrumentDriverTest, UnpreparedHeaderIsRefused) {
    Bytes request = {0xF0, 0x7E, 0x01, 0x06, 0x01, 0xF7};
    MidiHeader header;
    header.data = request.data();
    header.bufferLength = 6;
    EXPECT_EQ(driver.OutLongMsg(out, &header), kMidiUnprepared);
    EXPECT_EQ(driver.OutUnprepare(out, &header), kMidiOk);  // never prepared
    EXPECT_EQ(driver.OutPrepare(out, nullptr), kMidiInvalidParam);
}

}  // namespace
