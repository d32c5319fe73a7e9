#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "midi/jack/JackClient.h"
#include "midi/jack/JackDriver.h"
#include "midi/rtmidi/RtMidiDriver.h"
#include "midi/virtual/VirtualInstrumentDriver.h"
#include "support/TestInputBuffers.h"
#include "support/TestVoiceDump.h"
#include "support/VirtualEx5Process.h"

// What every real backend promises the ports, checked the same way against each backend present:
// the built-in instrument always, JACK when a server runs, ALSA when the sequencer exists. The far
// end is the virtual instrument: in process, or sonavist-virtual-ex5 on JACK or ALSA.

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// Polls until `done` holds; the limit only guards against a hang.
bool WaitFor(const std::function<bool()>& done) {
    const auto limit = Clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (Clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The instrument at the other end of one backend.
class FarEnd {
public:
    virtual ~FarEnd() = default;
    virtual MidiDriver& Driver() = 0;
    // The devices the program sends on and listens to; -1 when not listed.
    virtual int32_t OutIndex() = 0;
    virtual int32_t InIndex() = 0;
    // The System Exclusive messages it has received, once it has `count` of them.
    virtual std::vector<Bytes> Received(std::size_t count) = 0;
    // Goes away for good (where the backend's table row says it can).
    virtual void Vanish() = 0;
};

class InProcessEnd : public FarEnd {
public:
    MidiDriver& Driver() override { return m_Driver; }
    int32_t OutIndex() override { return 0; }
    int32_t InIndex() override { return 0; }
    std::vector<Bytes> Received(std::size_t count) override {
        std::vector<Bytes> sysex;
        WaitFor([&] {
            sysex.clear();
            for (const Bytes& message : m_Instrument->ReceivedMessages()) {
                if (!message.empty() && message.front() == 0xF0) {
                    sysex.push_back(message);
                }
            }
            return sysex.size() >= count;
        });
        return sysex;
    }
    void Vanish() override {}

private:
    std::shared_ptr<VirtualInstrument> m_Instrument = std::make_shared<VirtualInstrument>();
    VirtualInstrumentDriver m_Driver{m_Instrument};
};

// sonavist-virtual-ex5 on a MIDI API, and the backend's driver listing it.
template <typename Backend>
class ProcessEnd : public FarEnd {
public:
    explicit ProcessEnd(const std::string& api) : m_Process({"--api", api}) {
        if (m_Process.WaitReady()) {
            m_Driver = std::make_unique<Backend>();
        }
    }
    MidiDriver& Driver() override { return *m_Driver; }
    int32_t OutIndex() override { return m_Driver ? m_Process.OutputIndex(*m_Driver) : -1; }
    int32_t InIndex() override { return m_Driver ? m_Process.InputIndex(*m_Driver) : -1; }
    std::vector<Bytes> Received(std::size_t count) override { return m_Process.WaitSaved(count); }
    void Vanish() override { m_Process.Stop(SIGKILL); }

private:
    VirtualEx5Process m_Process;
    std::unique_ptr<MidiDriver> m_Driver;
};

struct Backend {
    const char* name;
    bool canVanish;
    // Why it cannot run on this machine; empty when it can.
    std::function<std::string()> missing;
    std::function<std::unique_ptr<FarEnd>()> make;
};

void PrintTo(const Backend& backend, std::ostream* os) {
    *os << backend.name;
}

const Backend kVirtual{"Virtual", false, [] { return std::string(); },
                       [] { return std::make_unique<InProcessEnd>(); }};
const Backend kJack{
    "Jack", true, [] { return JackClient::ServerRuns() ? std::string() : "JACK: no server runs"; },
    [] { return std::make_unique<ProcessEnd<JackDriver>>("jack"); }};
const Backend kAlsa{"Alsa", true,
                    [] {
                        return access(RtMidiDriver::kSequencer, R_OK | W_OK) == 0
                                   ? std::string()
                                   : "ALSA: no /dev/snd/seq on this machine (see README)";
                    },
                    [] { return std::make_unique<ProcessEnd<RtMidiDriver>>("alsa"); }};

class DriverContract : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        const std::string missing = GetParam().missing();
        if (!missing.empty()) {
            GTEST_SKIP() << missing;
        }
        m_End = GetParam().make();
        m_Out = m_End->OutIndex();
        m_In = m_End->InIndex();
        ASSERT_GE(m_Out, 0);
        ASSERT_GE(m_In, 0);
        ASSERT_EQ(Driver().OutOpen(static_cast<uint32_t>(m_Out), m_OutHandle), kMidiOk);
    }

    void TearDown() override {
        if (m_OutHandle != 0) {
            EXPECT_EQ(Driver().OutClose(m_OutHandle), kMidiOk);
        }
    }

    MidiDriver& Driver() { return m_End->Driver(); }

    void OpenInput() {
        ASSERT_EQ(Driver().InOpen(static_cast<uint32_t>(m_In), m_InHandle,
                                  TestInputBuffers::Callback, m_Buffers.Instance()),
                  kMidiOk);
        for (int i = 0; i < TestInputBuffers::kCount; ++i) {
            ASSERT_EQ(Driver().InPrepare(m_InHandle, m_Buffers.Header(i)), kMidiOk);
            ASSERT_EQ(Driver().InAddBuffer(m_InHandle, m_Buffers.Header(i)), kMidiOk);
        }
        ASSERT_EQ(Driver().InStart(m_InHandle), kMidiOk);
    }

    void CloseInput() {
        ASSERT_EQ(Driver().InReset(m_InHandle), kMidiOk);
        for (int i = 0; i < TestInputBuffers::kCount; ++i) {
            ASSERT_EQ(Driver().InUnprepare(m_InHandle, m_Buffers.Header(i)), kMidiOk);
        }
        ASSERT_EQ(Driver().InClose(m_InHandle), kMidiOk);
    }

    void Send(Bytes& bytes, MidiHeader& header) {
        header.data = bytes.data();
        header.bufferLength = static_cast<uint32_t>(bytes.size());
        ASSERT_EQ(Driver().OutPrepare(m_OutHandle, &header), kMidiOk);
        ASSERT_EQ(Driver().OutLongMsg(m_OutHandle, &header), kMidiOk);
    }

    // Until the driver gives the header back, as the ports poll for it.
    bool Released(MidiHeader& header) {
        return WaitFor([&] { return Driver().OutUnprepare(m_OutHandle, &header) == kMidiOk; });
    }

    std::unique_ptr<FarEnd> m_End;
    int32_t m_Out = -1;
    int32_t m_In = -1;
    MidiHandle m_OutHandle = 0;
    MidiHandle m_InHandle = 0;
    TestInputBuffers m_Buffers;
};

TEST_P(DriverContract, OpensClosesAndOpensAgain) {
    OpenInput();
    CloseInput();
    const auto notices = m_Buffers.All();
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.front().message, kMimOpen);
    EXPECT_EQ(notices.back().message, kMimClose);
    EXPECT_EQ(Driver().InStart(m_InHandle), kMidiInvalidHandle);

    ASSERT_EQ(Driver().OutClose(m_OutHandle), kMidiOk);
    EXPECT_EQ(Driver().OutShortMsg(m_OutHandle, 0x90), kMidiInvalidHandle);
    m_OutHandle = 0;
    ASSERT_EQ(Driver().OutOpen(static_cast<uint32_t>(m_Out), m_OutHandle), kMidiOk);
    MidiHandle none = 0;
    EXPECT_EQ(Driver().OutOpen(Driver().OutCount(), none), kMidiBadDeviceId);
}

TEST_P(DriverContract, LongestDumpArrivesWholeAndReleasedOnlyOnceGone) {
    Bytes dump = TestVoiceDump("Longest", 4);
    ASSERT_EQ(dump.size(), 891u);
    MidiHeader header;
    Send(dump, header);
    // While it leaves the header stays the driver's; it comes back done.
    const MidiResult first = Driver().OutUnprepare(m_OutHandle, &header);
    EXPECT_TRUE(first == kMidiStillPlaying || first == kMidiOk) << first;
    ASSERT_TRUE(Released(header));
    EXPECT_EQ(header.flags & (MidiHeader::kDone | MidiHeader::kInQueue), MidiHeader::kDone);
    EXPECT_EQ(m_End->Received(1), std::vector<Bytes>{dump});
}

TEST_P(DriverContract, FiveDumpsInARowArriveInOrderEvenWhenClosedAtOnce) {
    std::vector<Bytes> dumps;
    for (int i = 0; i < 5; ++i) {
        dumps.push_back(TestVoiceDump("Row " + std::to_string(i), 4 - i % 4));
    }
    MidiHeader header;
    for (Bytes& dump : dumps) {
        Send(dump, header);
        ASSERT_TRUE(Released(header));
    }
    // Closing right after the last send must not cut it short.
    ASSERT_EQ(Driver().OutClose(m_OutHandle), kMidiOk);
    m_OutHandle = 0;
    EXPECT_EQ(m_End->Received(dumps.size()), dumps);
}

TEST_P(DriverContract, IdentityRequestIsAnsweredIntoTheQueuedBuffers) {
    OpenInput();
    Bytes request = {0xF0, 0x7E, 0x01, 0x06, 0x01, 0xF7};
    MidiHeader header;
    Send(request, header);
    ASSERT_TRUE(WaitFor([&] { return !m_Buffers.Buffers().empty(); }));
    const Bytes reply = m_Buffers.Buffers().front();
    ASSERT_EQ(reply.size(), 15u);
    EXPECT_EQ(reply[0], 0xF0);
    EXPECT_EQ(reply[5], 0x43);  // the maker's code
    EXPECT_EQ(reply[14], 0xF7);
    ASSERT_TRUE(Released(header));
    CloseInput();
}

TEST_P(DriverContract, DeviceVanishingMidMessageLeavesThePortsUsable) {
    if (!GetParam().canVanish) {
        GTEST_SKIP() << GetParam().name << ": the built-in instrument cannot vanish";
    }
    OpenInput();
    Bytes dump = TestVoiceDump("Vanishing", 4);
    MidiHeader header;
    Send(dump, header);
    m_End->Vanish();
    // Every step still answers: the message is given back, the ports close.
    ASSERT_TRUE(Released(header));
    Bytes more = TestVoiceDump("After", 1);
    MidiHeader next;
    next.data = more.data();
    next.bufferLength = static_cast<uint32_t>(more.size());
    ASSERT_EQ(Driver().OutPrepare(m_OutHandle, &next), kMidiOk);
    const MidiResult sent = Driver().OutLongMsg(m_OutHandle, &next);
    EXPECT_TRUE(sent == kMidiOk || sent == kMidiError) << sent;
    ASSERT_TRUE(Released(next));
    CloseInput();
}

const std::vector<Backend> kBackends =
#if SONAVIST_CONTRACT_JACK
    {kJack};
#else
    {kVirtual, kAlsa};
#endif

INSTANTIATE_TEST_SUITE_P(Backends, DriverContract, testing::ValuesIn(kBackends),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
