#include "midi/MidiInputTable.h"

#include "midi/MidiHeaderState.h"

MidiHandle MidiInputTable::Open(std::unique_ptr<Input> input) {
    Input* record = input.get();
    const MidiHandle handle = m_Inputs.Add(std::move(input));
    record->queue.Notify(kMimOpen);
    return handle;
}

template <typename Step>
MidiResult MidiInputTable::OnQueue(MidiHandle handle, Step&& step) {
    Input* input = m_Inputs.Find(handle);
    return input == nullptr ? kMidiInvalidHandle : step(input->queue);
}

MidiResult MidiInputTable::Prepare(MidiHandle handle, MidiHeader* header) {
    return OnQueue(handle, [&](MidiInQueue&) { return MidiHeaderState::Prepare(header); });
}

MidiResult MidiInputTable::AddBuffer(MidiHandle handle, MidiHeader* header) {
    return OnQueue(handle, [&](MidiInQueue& q) { return q.Add(header); });
}

MidiResult MidiInputTable::Start(MidiHandle handle) {
    return OnQueue(handle, [](MidiInQueue& q) { return q.Start(), kMidiOk; });
}

MidiResult MidiInputTable::Stop(MidiHandle handle) {
    return OnQueue(handle, [](MidiInQueue& q) { return q.Stop(), kMidiOk; });
}

MidiResult MidiInputTable::Reset(MidiHandle handle) {
    return OnQueue(handle, [](MidiInQueue& q) { return q.Reset(), kMidiOk; });
}

MidiResult MidiInputTable::Unprepare(MidiHandle handle, MidiHeader* header) {
    return OnQueue(handle, [&](MidiInQueue& q) { return q.Unprepare(header); });
}

MidiResult MidiInputTable::Close(MidiHandle handle) {
    const MidiResult held = OnQueue(
        handle, [](MidiInQueue& q) { return q.QueuedCount() > 0 ? kMidiStillPlaying : kMidiOk; });
    if (held != kMidiOk) {
        return held;
    }
    // Out of the table and detached first, so the close notice is the last the caller gets.
    const auto input = m_Inputs.Remove(handle);
    if (input == nullptr) {
        return kMidiInvalidHandle;
    }
    input->Detach();
    input->queue.Notify(kMimClose);
    return kMidiOk;
}
