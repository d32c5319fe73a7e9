#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "midi/SysexMessage.h"

namespace {

bool AllZero(const SysexMessage& buffer) {
    const MidiHeader* header = buffer.GetHeader();
    return std::all_of(header->data, header->data + buffer.GetCapacity(),
                       [](uint8_t byte) { return byte == 0; });
}

TEST(SysexMessageTest, NewBufferIsClearedAtFullCapacity) {
    SysexMessage buffer;
    EXPECT_EQ(buffer.GetCapacity(), 1024);
    EXPECT_EQ(buffer.GetHeader()->bufferLength, 1024u);
    EXPECT_EQ(buffer.GetHeader()->flags.load(), 0u);
    EXPECT_TRUE(AllZero(buffer));
}

struct SetDataCase {
    const char* name;
    int32_t length;
    int32_t result;
    uint32_t bufferLength;  // after the call, starting from a loaded 10-byte message
};

class SetDataTest : public testing::TestWithParam<SetDataCase> {};

TEST_P(SetDataTest, LoadsWhatFitsAndLeavesTheRestAlone) {
    const SetDataCase& c = GetParam();
    SysexMessage buffer;
    const std::vector<uint8_t> earlier(10, 0x11);
    ASSERT_EQ(buffer.SetData(earlier.data(), 10), 0);
    const std::vector<uint8_t> message(std::max(c.length, 0) + 1, 0x22);

    EXPECT_EQ(buffer.SetData(message.data(), c.length), c.result);
    EXPECT_EQ(buffer.GetHeader()->bufferLength, c.bufferLength);
    const uint8_t* data = buffer.GetHeader()->data;
    const uint8_t expectFirst = c.result == 0 ? (c.length > 0 ? 0x22 : 0x00) : 0x11;
    EXPECT_EQ(data[0], expectFirst);
    if (c.result == 0) {
        EXPECT_TRUE(std::all_of(data + c.length, data + 1024, [](uint8_t b) { return b == 0; }));
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, SetDataTest,
                         testing::Values(SetDataCase{"empty", 0, 0, 0},
                                         SetDataCase{"full", 1024, 0, 1024},
                                         SetDataCase{"oneTooMany", 1025, -1, 10},
                                         SetDataCase{"negative", -1, -1, 10}),
                         [](const auto& info) { return info.param.name; });

TEST(SysexMessageTest, EnsureCapacityOnlyGrows) {
    SysexMessage buffer;
    const uint8_t byte = 0x33;
    ASSERT_EQ(buffer.SetData(&byte, 1), 0);
    EXPECT_EQ(buffer.EnsureCapacity(512), 1024);
    EXPECT_EQ(buffer.GetHeader()->data[0], 0x33);

    EXPECT_EQ(buffer.EnsureCapacity(2048), 2048);
    EXPECT_EQ(buffer.GetHeader()->bufferLength, 2048u);
    EXPECT_TRUE(AllZero(buffer));
}

struct CopyCase {
    const char* name;
    uint32_t flags;
    uint32_t recorded;
    int32_t maxLength;
    int32_t copied;
};

class CopyReceivedTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyReceivedTest, CopiesOnlyFinishedBytesWithinBothLimits) {
    const CopyCase& c = GetParam();
    SysexMessage buffer;
    MidiHeader* header = buffer.GetHeader();
    for (int i = 0; i < 1024; ++i) {
        header->data[i] = static_cast<uint8_t>(i);
    }
    header->bytesRecorded = c.recorded;
    header->flags = c.flags;
    std::vector<uint8_t> dest(2048, 0xEE);

    for (int pass = 0; pass < 2; ++pass) {  // reading leaves the buffer as it was
        EXPECT_EQ(buffer.CopyReceived(dest.data(), c.maxLength), c.copied);
        for (int i = 0; i < c.copied; ++i) {
            ASSERT_EQ(dest[i], static_cast<uint8_t>(i));
        }
        EXPECT_EQ(dest[c.copied], 0xEE);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, CopyReceivedTest,
    testing::Values(CopyCase{"cutToMaxLength", MidiHeader::kDone, 300, 100, 100},
                    CopyCase{"allRecorded", MidiHeader::kDone, 300, 4096, 300},
                    CopyCase{"notDone", MidiHeader::kInQueue, 300, 4096, 0},
                    CopyCase{"countBeyondBlock", MidiHeader::kDone, 5000, 4096, 1024},
                    CopyCase{"negativeRoom", MidiHeader::kDone, 300, -5, 0}),
    [](const auto& info) { return info.param.name; });

}  // namespace
