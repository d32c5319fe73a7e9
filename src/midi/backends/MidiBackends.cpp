#include "midi/backends/MidiBackends.h"

#include "midi/CompositeDriver.h"
#include "midi/jack/JackDriver.h"
#include "midi/rtmidi/RtMidiDriver.h"
#include "midi/virtual/VirtualInstrumentDriver.h"

std::shared_ptr<VirtualInstrument> MidiBackends::Instrument() {
    static const auto instrument = std::make_shared<VirtualInstrument>();
    return instrument;
}

namespace {

// The given backends, then the virtual instrument.
std::shared_ptr<MidiDriver> Chain(std::vector<std::shared_ptr<MidiDriver>> backends) {
    backends.push_back(std::make_shared<VirtualInstrumentDriver>(MidiBackends::Instrument()));
    return std::make_shared<CompositeDriver>(std::move(backends));
}

}  // namespace

std::shared_ptr<MidiDriver> MidiBackends::CreateDefault() {
    return Chain({std::make_shared<RtMidiDriver>(), std::make_shared<JackDriver>()});
}

std::shared_ptr<MidiDriver> MidiBackends::CreateVirtualOnly() {
    return Chain({});
}
