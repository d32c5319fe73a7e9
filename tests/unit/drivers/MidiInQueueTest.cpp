#include <gtest/gtest.h>

#include <vector>

#include "midi/MidiHeaderState.h"
#include "midi/MidiInQueue.h"
#include "support/TestInputBuffers.h"

namespace {

// A System Exclusive message of `length` bytes (at least 2), F0 ... F7.
std::vector<uint8_t> Message(std::size_t length, bool terminated = true) {
    std::vector<uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(i & 0x7F);
    }
    bytes.front() = 0xF0;
    if (terminated) {
        bytes.back() = 0xF7;
    }
    return bytes;
}

class MidiInQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < TestInputBuffers::kCount; ++i) {
            ASSERT_EQ(MidiHeaderState::Prepare(buffers.Header(i)), kMidiOk);
            ASSERT_EQ(queue.Add(buffers.Header(i)), kMidiOk);
        }
        queue.Start();
    }

    // The sizes of the returned buffers; every one came back done and out of the queue.
    std::vector<std::size_t> ReturnedSizes() {
        std::vector<std::size_t> sizes;
        for (const auto& r : buffers.All()) {
            EXPECT_EQ(r.message, kMimLongData);
            EXPECT_EQ(r.flags & (MidiHeader::kDone | MidiHeader::kInQueue), MidiHeader::kDone);
            sizes.push_back(r.bytes.size());
        }
        return sizes;
    }

    TestInputBuffers buffers;
    MidiInQueue queue{1, TestInputBuffers::Callback, buffers.Instance()};
};

struct SpreadCase {
    const char* name;
    std::vector<std::vector<uint8_t>> deliveries;
    bool stopAfter;
    std::vector<std::size_t> returnedSizes;
};

class MidiInQueueSpread : public MidiInQueueTest,
                          public ::testing::WithParamInterface<SpreadCase> {};

TEST_P(MidiInQueueSpread, FillsBuffersAsAByteStreamDriver) {
    std::vector<uint8_t> sent;
    for (const auto& delivery : GetParam().deliveries) {
        queue.DeliverLong(delivery.data(), delivery.size());
        sent.insert(sent.end(), delivery.begin(), delivery.end());
    }
    if (GetParam().stopAfter) {
        queue.Stop();
    }
    EXPECT_EQ(ReturnedSizes(), GetParam().returnedSizes);
    // The returned buffers hold the bytes in order, nothing lost before the queue ran dry.
    std::vector<uint8_t> received;
    for (const auto& buffer : buffers.Buffers()) {
        received.insert(received.end(), buffer.begin(), buffer.end());
    }
    sent.resize(received.size());
    EXPECT_EQ(received, sent);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, MidiInQueueSpread,
    ::testing::Values(
        SpreadCase{"IdentityReply", {Message(15)}, false, {15}},
        SpreadCase{"Exactly1024", {Message(1024)}, false, {1024}},
        SpreadCase{"Dump2000", {Message(2000)}, false, {1024, 976}},
        SpreadCase{"Exactly2048", {Message(2048)}, false, {1024, 1024}},
        SpreadCase{"TwoInOneDelivery",
                   {[] {
                       auto two = Message(15);
                       auto second = Message(891);
                       two.insert(two.end(), second.begin(), second.end());
                       return two;
                   }()},
                   false,
                   {15, 891}},
        SpreadCase{"FiveDumps",
                   {Message(891), Message(891), Message(891), Message(891), Message(891)},
                   false,
                   {891, 891, 891, 891, 891}},
        SpreadCase{
            "MoreThanTheBuffersHold", {Message(6000)}, false, {1024, 1024, 1024, 1024, 1024}},
        SpreadCase{"PartHeldUntilTheRestArrives",
                   {Message(3, false), Message(10, false), {0x01, 0xF7}},
                   false,
                   {15}},
        SpreadCase{"StopReturnsAPartlyFilledBuffer", {Message(3, false)}, true, {3}},
        SpreadCase{"StopWithNothingPendingReturnsNothing", {Message(15)}, true, {15}}),
    [](const auto& info) { return info.param.name; });

TEST_F(MidiInQueueTest, ResetReturnsEveryQueuedBufferDone) {
    queue.DeliverLong(Message(15).data(), 15);
    queue.Reset();
    EXPECT_EQ(ReturnedSizes(), (std::vector<std::size_t>{15, 0, 0, 0, 0}));
    EXPECT_EQ(queue.QueuedCount(), 0u);
}

TEST_F(MidiInQueueTest, NothingArrivesBeforeStartOrAfterStop) {
    queue.Stop();
    queue.DeliverLong(Message(15).data(), 15);
    queue.DeliverShort(0xFE);
    EXPECT_TRUE(buffers.All().empty());
}

TEST_F(MidiInQueueTest, ShortMessagesGoToTheCallbackPacked) {
    queue.DeliverShort(0x403C90);
    ASSERT_EQ(buffers.All().size(), 1u);
    EXPECT_EQ(buffers.All()[0].message, kMimData);
}

TEST_F(MidiInQueueTest, QueuedBufferCannotBeUnpreparedOrAddedTwice) {
    EXPECT_EQ(queue.Unprepare(buffers.Header(0)), kMidiStillPlaying);
    EXPECT_EQ(queue.Add(buffers.Header(0)), kMidiStillPlaying);
    queue.Reset();
    EXPECT_EQ(queue.Unprepare(buffers.Header(0)), kMidiOk);
    EXPECT_EQ(queue.Add(buffers.Header(0)), kMidiUnprepared);
    EXPECT_EQ(queue.Unprepare(buffers.Header(0)), kMidiOk);  // never prepared again: still fine
}

TEST(MidiHeaderState, PrepareRefusesAHeaderWithoutABuffer) {
    uint8_t byte = 0;
    MidiHeader noData;
    noData.bufferLength = 1;
    MidiHeader noLength;
    noLength.data = &byte;
    EXPECT_EQ(MidiHeaderState::Prepare(nullptr), kMidiInvalidParam);
    EXPECT_EQ(MidiHeaderState::Prepare(&noData), kMidiInvalidParam);
    EXPECT_EQ(MidiHeaderState::Prepare(&noLength), kMidiInvalidParam);
}

}  // namespace
