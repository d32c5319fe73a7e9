#include "midi/MidiOutputTable.h"

#include <chrono>

#include "midi/MidiHeaderState.h"

namespace {

// The longest message takes about 330 ms on a cable; a stalled driver gets no more than this.
constexpr std::chrono::seconds kDrainLimit{2};

}  // namespace

MidiResult MidiOutputTable::Prepare(MidiHandle handle, MidiHeader* header) {
    return Find(handle) == nullptr ? kMidiInvalidHandle : MidiHeaderState::Prepare(header);
}

MidiResult MidiOutputTable::Unprepare(MidiHandle handle, MidiHeader* header) {
    Output* output = Find(handle);
    return output == nullptr ? kMidiInvalidHandle : output->queue.Unprepare(header);
}

MidiResult MidiOutputTable::Close(MidiHandle handle) {
    Output* output = Find(handle);
    if (output == nullptr) {
        return kMidiInvalidHandle;
    }
    output->queue.Drain(kDrainLimit);
    m_Outputs.Remove(handle);
    return kMidiOk;
}
