#pragma once

#include <memory>

#include "midi/MidiDriver.h"
#include "midi/virtual/VirtualInstrument.h"

// The one place that lists the backends, in the order their devices are numbered: the real
// devices first, then the virtual instrument, which is always there.
class MidiBackends {
public:
    // The process's virtual instrument; every chain made here plays this one.
    static std::shared_ptr<VirtualInstrument> Instrument();
    static std::shared_ptr<MidiDriver> CreateDefault();
    // The virtual instrument alone: device 0 in and out, whatever the machine has.
    static std::shared_ptr<MidiDriver> CreateVirtualOnly();
};
