#include "midi/MidiHeaderState.h"

MidiResult MidiHeaderState::Prepare(MidiHeader* header) {
    if (header == nullptr || header->data == nullptr || header->bufferLength == 0) {
        return kMidiInvalidParam;
    }
    header->flags = (header->flags & ~MidiHeader::kDone) | MidiHeader::kPrepared;
    return kMidiOk;
}

MidiResult MidiHeaderState::Enqueue(MidiHeader* header) {
    if (header == nullptr) {
        return kMidiInvalidParam;
    }
    const uint32_t flags = header->flags;
    if ((flags & MidiHeader::kPrepared) == 0) {
        return kMidiUnprepared;
    }
    if ((flags & MidiHeader::kInQueue) != 0) {
        return kMidiStillPlaying;
    }
    header->flags = (flags & ~MidiHeader::kDone) | MidiHeader::kInQueue;
    return kMidiOk;
}

void MidiHeaderState::Finish(MidiHeader* header) {
    header->flags = (header->flags & ~MidiHeader::kInQueue) | MidiHeader::kDone;
}

MidiResult MidiHeaderState::Unprepare(MidiHeader* header) {
    if (header == nullptr) {
        return kMidiInvalidParam;
    }
    if ((header->flags & MidiHeader::kInQueue) != 0) {
        return kMidiStillPlaying;
    }
    header->flags &= ~MidiHeader::kPrepared;
    return kMidiOk;
}
