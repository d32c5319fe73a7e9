#pragma once

#include "midi/MidiDriver.h"

// The steps of a header's life that every backend takes alike: queued, finished, unprepared.
class MidiHeaderState {
public:
    // A header needs a buffer; preparing leaves it not done.
    static MidiResult Prepare(MidiHeader* header);
    // Marks a prepared header as held by the driver; refuses one not prepared or already held.
    static MidiResult Enqueue(MidiHeader* header);
    // Gives the header back to its owner, done.
    static void Finish(MidiHeader* header);
    // kMidiStillPlaying while the driver holds it.
    static MidiResult Unprepare(MidiHeader* header);
};
