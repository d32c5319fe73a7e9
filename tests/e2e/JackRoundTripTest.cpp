#include <gtest/gtest.h>

#include <signal.h>

#include <memory>
#include <string>
#include <vector>

#include "conversation/EXParams.h"
#include "midi/MidiParams.h"
#include "midi/MidiSystem.h"
#include "midi/jack/JackDriver.h"
#include "platform/Sleep.h"
#include "support/RaisedError.h"
#include "support/TestVoiceDump.h"
#include "support/VirtualEx5Process.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The program's ports, opened by name through RtMidi on JACK, against the standalone instrument.
class JackRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(instrument.WaitReady()) << instrument.Output();
        // Listed after the instrument is up: the driver's device list is fixed at construction.
        auto driver = std::make_shared<JackDriver>();
        job.m_MidiOutDevice = instrument.OutputIndex(*driver);
        job.m_MidiInDevice = instrument.InputIndex(*driver);
        ASSERT_GE(job.m_MidiOutDevice, 0);
        ASSERT_GE(job.m_MidiInDevice, 0);
        MidiSystem::Install(driver);
        job.m_Delay = 25;  // the program's default SysEx delay
        job.m_Tries = 4;
        job.m_Timeout = 2000;
        ASSERT_EQ(Raised([&] {
                      ports.m_MidiIn.Open(job.m_MidiInDevice);
                      ports.m_MidiOut.Open(job);
                  }),
                  "");
    }

    void TearDown() override {
        EXPECT_EQ(Raised([&] { ClosePorts(); }), "");
        MidiSystem::Install(nullptr);
    }

    static std::string Raised(const std::function<void()>& action) {
        return RaisedError::From(action).message;
    }

    void ClosePorts() {
        ports.m_MidiIn.Close(job);
        ports.m_MidiOut.Close(job);
    }

    VirtualEx5Process instrument;
    EXParams job;
    MidiParams ports;
};

TEST_F(JackRoundTrip, IdentityRequestIsAnswered) {
    Bytes reply(4096);
    int32_t length = 0;
    ASSERT_EQ(Raised([&] {
                  Event& arrived = ports.m_MidiIn.Start(job, 4096, 1);
                  const Bytes request = {0xF0, 0x7E, 0x01, 0x06, 0x01, 0xF7};
                  ports.m_MidiOut.SendLong(job, request.data(), 6);
                  ASSERT_TRUE(arrived.Wait(job.m_Timeout));
                  ports.m_MidiIn.Stop(job);
                  length = ports.m_MidiIn.ReadMessage(reply.data(), 4096, 0);
              }),
              "");
    reply.resize(length);
    EXPECT_EQ(reply, (Bytes{0xF0, 0x7E, 0x01, 0x06, 0x02, 0x43, 0x00, 0x00, 0x02, 0x33, 0x01, 0x00,
                            0x00, 0x00, 0xF7}));
    EXPECT_NE(instrument.Output().find("identity request for device 1: answered"),
              std::string::npos);
}

class JackDumps : public JackRoundTrip, public ::testing::WithParamInterface<int> {};

TEST_P(JackDumps, ArriveWholeAtTheProgramsPace) {
    std::vector<Bytes> dumps;
    for (int i = 0; i < GetParam(); ++i) {
        dumps.push_back(TestVoiceDump("Voice " + std::to_string(i), 4 - i % 4));
    }
    ASSERT_EQ(dumps[0].size(), 891u);
    ASSERT_EQ(Raised([&] {
                  for (const Bytes& dump : dumps) {
                      ports.m_MidiOut.SendLong(job, dump.data(), static_cast<int32_t>(dump.size()));
                      Sleep(job.m_Delay);
                  }
                  ClosePorts();  // at once: closing must not cut the last dump short
              }),
              "");
    EXPECT_EQ(instrument.WaitSaved(dumps.size()), dumps) << instrument.Output();
    EXPECT_EQ(instrument.Output().find("checksum bad"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(OneOrFiveInARow, JackDumps, ::testing::Values(1, 5));

TEST(JackInstrumentProcess, ExitsCleanlyOnInterruptAndTerminate) {
    for (const int signal : {SIGINT, SIGTERM}) {
        VirtualEx5Process instrument;
        ASSERT_TRUE(instrument.WaitReady()) << instrument.Output();
        EXPECT_EQ(instrument.Stop(signal), 0);
    }
}

}  // namespace
