#pragma once

#include "midi/MidiDriver.h"

// The driver before any is installed: no devices, every open refused.
class NoMidiDriver : public MidiDriver {
public:
    uint32_t OutCount() override { return 0; }
    std::string OutName(uint32_t) override { return {}; }
    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle, uint32_t) override { return kMidiInvalidHandle; }
    MidiResult OutPrepare(MidiHandle, MidiHeader*) override { return kMidiInvalidHandle; }
    MidiResult OutLongMsg(MidiHandle, MidiHeader*) override { return kMidiInvalidHandle; }
    MidiResult OutUnprepare(MidiHandle, MidiHeader*) override { return kMidiInvalidHandle; }
    MidiResult OutClose(MidiHandle) override { return kMidiInvalidHandle; }

    uint32_t InCount() override { return 0; }
    std::string InName(uint32_t) override { return {}; }
    MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback, std::uintptr_t) override;
    MidiResult InPrepare(MidiHandle, MidiHeader*) override { return kMidiInvalidHandle; }
    MidiResult InAddBuffer(MidiHandle, MidiHeader*) override { return kMidiInvalidHandle; }
    MidiResult InStart(MidiHandle) override { return kMidiInvalidHandle; }
    MidiResult InStop(MidiHandle) override { return kMidiInvalidHandle; }
    MidiResult InReset(MidiHandle) override { return kMidiInvalidHandle; }
    MidiResult InUnprepare(MidiHandle, MidiHeader*) override { return kMidiInvalidHandle; }
    MidiResult InClose(MidiHandle) override { return kMidiInvalidHandle; }
};
