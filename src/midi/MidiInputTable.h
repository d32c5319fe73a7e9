#pragma once

#include <cstdint>
#include <memory>

#include "midi/MidiDriver.h"
#include "midi/MidiHandleTable.h"
#include "midi/MidiInQueue.h"

// The open inputs of one backend and the steps every backend takes alike on them.
class MidiInputTable {
public:
    // One open input; a backend derives to keep its own connection beside the queue.
    class Input {
    public:
        Input(MidiDriver::InCallback callback, std::uintptr_t instance)
            : queue(reinterpret_cast<MidiHandle>(this), callback, instance) {}
        virtual ~Input() = default;
        // Stops the backend's deliveries for good; nothing reaches the queue afterwards.
        virtual void Detach() {}

        MidiInQueue queue;
    };

    // Keeps the input and sends its open notice; returns its handle.
    MidiHandle Open(std::unique_ptr<Input> input);
    MidiResult Prepare(MidiHandle handle, MidiHeader* header);
    MidiResult AddBuffer(MidiHandle handle, MidiHeader* header);
    MidiResult Start(MidiHandle handle);
    MidiResult Stop(MidiHandle handle);
    MidiResult Reset(MidiHandle handle);
    MidiResult Unprepare(MidiHandle handle, MidiHeader* header);
    // kMidiStillPlaying while buffers are queued: the caller resets first.
    MidiResult Close(MidiHandle handle);

    template <typename F>
    void ForEach(F&& f) const {
        m_Inputs.ForEach(std::forward<F>(f));
    }

private:
    template <typename Step>
    MidiResult OnQueue(MidiHandle handle, Step&& step);

    MidiHandleTable<Input> m_Inputs;
};
