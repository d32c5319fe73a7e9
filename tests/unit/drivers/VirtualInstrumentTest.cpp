#include <gtest/gtest.h>

#include <vector>

#include "midi/virtual/VirtualInstrument.h"
#include "support/TestVoiceDump.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Reply = VirtualInstrument::Reply;

Bytes IdentityRequest(uint8_t deviceNo) {
    return {0xF0, 0x7E, deviceNo, 0x06, 0x01, 0xF7};
}

VirtualInstrument::Outcome Send(VirtualInstrument& instrument, const Bytes& bytes) {
    return instrument.Receive(bytes.data(), bytes.size());
}

struct ReplyCase {
    const char* name;
    Reply reply;
    Bytes expected;
};

class VirtualInstrumentReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(VirtualInstrumentReply, AnswersTheIdentityRequestAsConfigured) {
    VirtualInstrument instrument;
    instrument.SetReply(GetParam().reply);
    EXPECT_EQ(Send(instrument, IdentityRequest(1)).reply, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, VirtualInstrumentReply,
    ::testing::Values(ReplyCase{"EX5",
                                Reply::kEX5,
                                {0xF0, 0x7E, 0x01, 0x06, 0x02, 0x43, 0x00, 0x00, 0x02, 0x33, 0x01,
                                 0x00, 0x00, 0x00, 0xF7}},
                      ReplyCase{"EX7",
                                Reply::kEX7,
                                {0xF0, 0x7E, 0x01, 0x06, 0x02, 0x43, 0x00, 0x00, 0x02, 0x34, 0x01,
                                 0x00, 0x00, 0x00, 0xF7}},
                      ReplyCase{"EX5R",
                                Reply::kEX5R,
                                {0xF0, 0x7E, 0x01, 0x06, 0x02, 0x43, 0x00, 0x00, 0x02, 0x40, 0x01,
                                 0x00, 0x00, 0x00, 0xF7}},
                      ReplyCase{"UnknownMember",
                                Reply::kUnknownMember,
                                {0xF0, 0x7E, 0x01, 0x06, 0x02, 0x43, 0x00, 0x00, 0x03, 0x33, 0x01,
                                 0x00, 0x00, 0x00, 0xF7}},
                      ReplyCase{"OtherMaker",
                                Reply::kOtherMaker,
                                {0xF0, 0x7E, 0x01, 0x06, 0x02, 0x41, 0x00, 0x00, 0x02, 0x33, 0x01,
                                 0x00, 0x00, 0x00, 0xF7}},
                      ReplyCase{"Short14",
                                Reply::kShort14,
                                {0xF0, 0x7E, 0x01, 0x06, 0x02, 0x00, 0x00, 0x02, 0x33, 0x01, 0x00,
                                 0x00, 0x00, 0xF7}},
                      ReplyCase{"Long17",
                                Reply::kLong17,
                                {0xF0, 0x7E, 0x01, 0x06, 0x02, 0x00, 0x43, 0x00, 0x00, 0x00, 0x02,
                                 0x33, 0x01, 0x00, 0x00, 0x00, 0xF7}},
                      ReplyCase{"Garbage",
                                Reply::kGarbage,
                                {0xF0, 0x7E, 0x01, 0x06, 0x02, 0x43, 0x00, 0x00, 0x02, 0x33, 0x01,
                                 0x00, 0x00, 0x00, 0x00, 0xF7}},
                      ReplyCase{"Silent", Reply::kSilent, {}}),
    [](const auto& info) { return info.param.name; });

struct DeviceCase {
    uint8_t configured;
    uint8_t requested;
    bool answers;
};

class VirtualInstrumentDevice : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(VirtualInstrumentDevice, AnswersOnItsNumberAndOnAllCallWithItsOwnNumber) {
    VirtualInstrument instrument;
    instrument.SetDeviceNo(GetParam().configured);
    const Bytes reply = Send(instrument, IdentityRequest(GetParam().requested)).reply;
    ASSERT_EQ(!reply.empty(), GetParam().answers);
    if (GetParam().answers) {
        EXPECT_EQ(reply[2], GetParam().configured);
    }
}

INSTANTIATE_TEST_SUITE_P(Numbers, VirtualInstrumentDevice,
                         ::testing::Values(DeviceCase{1, 1, true}, DeviceCase{1, 0, false},
                                           DeviceCase{1, 2, false}, DeviceCase{5, 127, true},
                                           DeviceCase{0, 0, true}, DeviceCase{5, 1, false}));

TEST(VirtualInstrument, IgnoresRequestsOfAnotherShape) {
    VirtualInstrument instrument;
    for (const Bytes& request :
         {Bytes{0xF0, 0x7E, 0x01, 0x06, 0x01}, Bytes{0xF0, 0x7E, 0x01, 0x06, 0x02, 0xF7},
          Bytes{0xF0, 0x7F, 0x01, 0x06, 0x01, 0xF7}, Bytes{}}) {
        EXPECT_TRUE(Send(instrument, request).reply.empty());
    }
    EXPECT_EQ(instrument.ReceivedMessages().size(), 4u);
}

struct DumpCase {
    const char* name;
    int elements;
    std::size_t length;
};

class VirtualInstrumentDump : public ::testing::TestWithParam<DumpCase> {};

TEST_P(VirtualInstrumentDump, KeepsTheVoiceWithNameElementsAndBytes) {
    VirtualInstrument instrument;
    const Bytes dump = TestVoiceDump("Brass Pad\x01", GetParam().elements);
    ASSERT_EQ(dump.size(), GetParam().length);
    const auto outcome = Send(instrument, dump);
    EXPECT_TRUE(outcome.reply.empty());
    const auto voice = instrument.LastVoice();
    ASSERT_TRUE(voice.has_value()) << outcome.what;
    EXPECT_EQ(voice->name, "Brass Pad\x01");
    EXPECT_EQ(voice->elements, GetParam().elements);
    EXPECT_EQ(voice->dump, dump);
    EXPECT_TRUE(voice->checksumOk);
}

INSTANTIATE_TEST_SUITE_P(Elements, VirtualInstrumentDump,
                         ::testing::Values(DumpCase{"One", 1, 435}, DumpCase{"Two", 2, 587},
                                           DumpCase{"Three", 3, 739}, DumpCase{"Four", 4, 891}),
                         [](const auto& info) { return info.param.name; });

TEST(VirtualInstrument, NameOfTwelveCharactersHasNoTerminator) {
    VirtualInstrument instrument;
    Send(instrument, TestVoiceDump("TwelveChars!", 1));
    EXPECT_EQ(instrument.LastVoice()->name, "TwelveChars!");
}

TEST(VirtualInstrument, KeepsAVoiceWithABadChecksumMarkedSo) {
    VirtualInstrument instrument;
    Bytes dump = TestVoiceDump("Strings", 2);
    dump[dump.size() - 2] ^= 0x01;
    Send(instrument, dump);
    ASSERT_TRUE(instrument.LastVoice().has_value());
    EXPECT_FALSE(instrument.LastVoice()->checksumOk);
}

struct BadDumpCase {
    const char* name;
    std::size_t position;
    int change;  // added to the byte there; 0 cuts the dump at `position`
};

class VirtualInstrumentBadDump : public ::testing::TestWithParam<BadDumpCase> {};

TEST_P(VirtualInstrumentBadDump, RejectsItAndKeepsTheVoiceBefore) {
    VirtualInstrument instrument;
    const Bytes good = TestVoiceDump("Kept", 1);
    Send(instrument, good);
    Bytes bad = TestVoiceDump("Rejected", 4);
    if (GetParam().change == 0) {
        bad.resize(GetParam().position);
    } else {
        bad.at(GetParam().position) += static_cast<uint8_t>(GetParam().change);
    }
    const auto outcome = Send(instrument, bad);
    EXPECT_NE(outcome.what.find("rejected"), std::string::npos) << outcome.what;
    EXPECT_EQ(instrument.LastVoice()->dump, good);
}

INSTANTIATE_TEST_SUITE_P(Faults, VirtualInstrumentBadDump,
                         ::testing::Values(BadDumpCase{"CountLargerThanTheData", 5, 8},
                                           BadDumpCase{"CountSmallerThanTheData", 4, -1},
                                           BadDumpCase{"AddressWrong", 6, 1},
                                           BadDumpCase{"DeviceByteNotAChannel", 2, 0x10},
                                           BadDumpCase{"Truncated", 500, 0},
                                           BadDumpCase{"HeaderOnly", 4, 0},
                                           BadDumpCase{"NoEndByte", 890, -1}),
                         [](const auto& info) { return info.param.name; });

TEST(VirtualInstrument, TracksTheNotesSounding) {
    VirtualInstrument instrument;
    Send(instrument, {0x90, 60, 64});
    Send(instrument, {0x90, 64, 64});
    Send(instrument, {0x91, 60, 64});
    Send(instrument, {0x80, 64, 0});  // note off
    Send(instrument, {0x91, 60, 0});  // note on with velocity 0
    using Note = std::pair<uint8_t, uint8_t>;
    EXPECT_EQ(instrument.SoundingNotes(), (std::vector<Note>{{0, 60}}));
}

TEST(VirtualInstrument, ResetForgetsEverything) {
    VirtualInstrument instrument;
    instrument.SetReply(Reply::kSilent);
    instrument.SetDeviceNo(9);
    Send(instrument, TestVoiceDump("Kept", 1));
    Send(instrument, {0x90, 60, 64});
    instrument.Reset();
    EXPECT_FALSE(instrument.LastVoice().has_value());
    EXPECT_TRUE(instrument.SoundingNotes().empty());
    EXPECT_TRUE(instrument.ReceivedMessages().empty());
    EXPECT_EQ(Send(instrument, IdentityRequest(1)).reply.size(), 15u);
}

}  // namespace
