#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "voice/StandardMidiFile.h"

namespace {

struct CountCase {
    size_t messageLength;
    std::vector<uint8_t> count;  // the variable-length count of the bytes after F0
};

class SysexCountTest : public testing::TestWithParam<CountCase> {};

// One message alone: header, track header, delta 0, F0, its count, its bytes, end of track.
TEST_P(SysexCountTest, CountIsVariableLength) {
    const CountCase& c = GetParam();
    std::vector<uint8_t> message(c.messageLength, 0x11);
    message.front() = 0xF0;
    message.back() = 0xF7;
    const std::vector<uint8_t> file = StandardMidiFile::OfSysex({message});

    std::vector<uint8_t> track = c.count;
    track.insert(track.begin(), {0x00, 0xF0});
    track.insert(track.end(), message.begin() + 1, message.end());
    const uint32_t end = StandardMidiFile::TicksAfter(c.messageLength);
    if (end > 0x7F) {
        track.push_back(static_cast<uint8_t>(0x80 | (end >> 7)));
    }
    track.insert(track.end(), {static_cast<uint8_t>(end & 0x7F), 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> expected = {'M', 'T', 'h',  'd',  0,   0,   0,   6,   0, 0,
                                     0,   1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0};
    expected.push_back(static_cast<uint8_t>(track.size() >> 8));
    expected.push_back(static_cast<uint8_t>(track.size()));
    expected.insert(expected.end(), track.begin(), track.end());
    EXPECT_EQ(file, expected);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, SysexCountTest,
                         testing::Values(CountCase{2, {0x01}}, CountCase{128, {0x7F}},
                                         CountCase{129, {0x81, 0x00}},
                                         CountCase{16384, {0xFF, 0x7F}},
                                         CountCase{16385, {0x81, 0x80, 0x00}}));

// 480 ticks are half a second; a byte takes 0.32 ms.
TEST(StandardMidiFileTest, TicksAfterRoundUp) {
    EXPECT_EQ(StandardMidiFile::TicksAfter(0), 480u);
    EXPECT_EQ(StandardMidiFile::TicksAfter(25), 488u);   // 508 ms: 487.68 ticks
    EXPECT_EQ(StandardMidiFile::TicksAfter(125), 519u);  // 540 ms: 518.4 ticks
    EXPECT_EQ(StandardMidiFile::TicksAfter(625), 672u);  // 700 ms: 672 ticks exactly
    EXPECT_EQ(StandardMidiFile::TicksAfter(435), 614u);  // 639.2 ms
    EXPECT_EQ(StandardMidiFile::TicksAfter(891), 754u);  // 785.12 ms
}

}  // namespace
