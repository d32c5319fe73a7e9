#include "conversation/MidiFactory.h"

#include "conversation/EX5Midi.h"
#include "voice/EX5Info.h"

Midi* MidiFactory::CreateMidi(const DriverInfo& info) {
    if (dynamic_cast<const EX5Info*>(&info)) {
        return new EX5Midi;
    }
    return nullptr;
}
