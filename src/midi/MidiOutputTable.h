#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "midi/MidiDriver.h"
#include "midi/MidiHandleTable.h"
#include "midi/MidiOutQueue.h"

// The open outputs of one backend and the steps every backend takes alike on them.
class MidiOutputTable {
public:
    // One open output; a backend derives to keep its own connection beside the queue.
    class Output {
    public:
        explicit Output(const std::atomic<uint64_t>* cycles = nullptr) : queue(cycles) {}
        virtual ~Output() = default;

        MidiOutQueue queue;
    };

    MidiHandle Open(std::unique_ptr<Output> output) { return m_Outputs.Add(std::move(output)); }
    Output* Find(MidiHandle handle) const { return m_Outputs.Find(handle); }
    MidiResult Prepare(MidiHandle handle, MidiHeader* header);
    MidiResult Unprepare(MidiHandle handle, MidiHeader* header);
    // Lets what is still leaving finish first, so closing never cuts a message short.
    MidiResult Close(MidiHandle handle);

private:
    MidiHandleTable<Output> m_Outputs;
};
