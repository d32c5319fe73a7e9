#include "midi/NoMidiDriver.h"

MidiResult NoMidiDriver::OutOpen(uint32_t, MidiHandle& handle) {
    handle = 0;
    return kMidiBadDeviceId;
}

MidiResult NoMidiDriver::InOpen(uint32_t, MidiHandle& handle, InCallback, std::uintptr_t) {
    handle = 0;
    return kMidiBadDeviceId;
}
