#pragma once

#include "midi/MidiDriver.h"
#include "midi/MidiInputTable.h"
#include "midi/MidiOutputTable.h"

// What every backend does alike: its open devices in tables, and their buffers prepared, queued,
// returned and released by the same rules. A backend adds listing, opening and sending.
class BufferedMidiDriver : public MidiDriver {
public:
    MidiResult OutPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutClose(MidiHandle handle) override;

    MidiResult InPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InAddBuffer(MidiHandle handle, MidiHeader* header) override;
    MidiResult InStart(MidiHandle handle) override;
    MidiResult InStop(MidiHandle handle) override;
    MidiResult InReset(MidiHandle handle) override;
    MidiResult InUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InClose(MidiHandle handle) override;

protected:
    MidiOutputTable m_Outputs;
    MidiInputTable m_Inputs;
};
