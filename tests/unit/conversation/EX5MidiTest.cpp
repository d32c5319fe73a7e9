#include <gtest/gtest.h>

#include <memory>

#include "conversation/EX5Midi.h"
#include "conversation/MidiFactory.h"
#include "voice/DriverInfo.h"
#include "voice/EX5Info.h"
#include "voice/Patch.h"

namespace {

class CountedPatch : public Patch {
public:
    explicit CountedPatch(int& destroyed) : m_Destroyed(destroyed) {}
    ~CountedPatch() override { ++m_Destroyed; }

private:
    int& m_Destroyed;
};

TEST(EX5Midi, HoldsFiveBanksOf128EmptySlots) {
    EX5Midi midi;
    EXPECT_EQ(midi.m_BankSize, 128);
    for (int bank = 0; bank < EX5Midi::kBankCount; ++bank) {
        ASSERT_EQ(midi.m_Banks[bank].m_Count, 128);
        for (int slot = 0; slot < 128; ++slot) {
            EXPECT_EQ(midi.m_Banks[bank].m_Slots[slot], nullptr);
        }
    }
}

TEST(EX5Midi, DestroysThePatchesItsBanksHold) {
    int destroyed = 0;
    {
        EX5Midi midi;
        midi.m_Banks[0].m_Slots[0] = new CountedPatch(destroyed);
        midi.m_Banks[4].m_Slots[127] = new CountedPatch(destroyed);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(EX5Midi, EachCreateMidiForTheDescriptorIsANewEX5Midi) {
    const EX5Info info;
    std::unique_ptr<Midi> first(MidiFactory::CreateMidi(info));
    std::unique_ptr<Midi> second(MidiFactory::CreateMidi(info));
    EXPECT_NE(dynamic_cast<EX5Midi*>(first.get()), nullptr);
    EXPECT_NE(dynamic_cast<EX5Midi*>(second.get()), nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(MidiFactory::CreateMidi(DriverInfo()), nullptr);
}

}  // namespace
