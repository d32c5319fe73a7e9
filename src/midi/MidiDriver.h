#pragma once

#include <cstdint>
#include <string>

#include "midi/MidiHeader.h"

// An open device as a driver knows it; 0 is never a valid handle.
using MidiHandle = std::uintptr_t;

// Result codes of every driver call. 0 is success; the log and the error texts print them in
// upper-case hexadecimal.
enum MidiResult : uint32_t {
    kMidiOk = 0x00,
    kMidiError = 0x01,        // unspecified driver failure
    kMidiBadDeviceId = 0x02,  // no device with that index
    kMidiAllocated = 0x04,    // device already in use
    kMidiInvalidHandle = 0x05,
    kMidiNoMemory = 0x07,
    kMidiInvalidParam = 0x0B,
    kMidiUnprepared = 0x40,    // header not prepared
    kMidiStillPlaying = 0x41,  // the driver still holds the buffer
    kMidiNotReady = 0x43,
};

// Messages an input callback receives (same numbers as the classic multimedia API).
enum MidiInMessage : uint32_t {
    kMimOpen = 0x3C1,
    kMimClose = 0x3C2,
    kMimData = 0x3C3,
    kMimLongData = 0x3C4,
    kMimError = 0x3C5,
    kMimLongError = 0x3C6,
    kMimMoreData = 0x3CC,
};

// The steps the MIDI ports need from a MIDI layer. One driver serves the process; device indices
// stay as they are until the devices are listed afresh.
//
// Input callback contract: called on the driver's own thread with the instance value given to
// InOpen; for kMimLongData param1 is the address of the returned MidiHeader (its recorded count
// set, kDone set, kInQueue cleared). The callback never blocks, allocates or logs.
//
// A buffer stays the driver's until its unprepare succeeds: InUnprepare answers kMidiStillPlaying
// until the callback that returned it has itself returned, so a port never clears or frees a
// buffer the callback is still reading. Once a close returns, the driver touches none of the
// handle's headers and calls its callback no more.
//
// Every result is to be looked at: a caller that lets one go says why in a comment.
class MidiDriver {
public:
    using InCallback = void (*)(MidiHandle handle, uint32_t message, std::uintptr_t instance,
                                std::uintptr_t param1, std::uintptr_t param2);

    virtual ~MidiDriver() = default;

    // Lists the devices present now: indices may change; open devices stay open.
    virtual void Refresh() {}

    // Outputs.
    virtual uint32_t OutCount() = 0;
    virtual std::string OutName(uint32_t index) = 0;  // empty for an invalid index
    [[nodiscard]] virtual MidiResult OutOpen(uint32_t index, MidiHandle& handle) = 0;
    // Packed as status | data1 << 8 | data2 << 16.
    [[nodiscard]] virtual MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) = 0;
    [[nodiscard]] virtual MidiResult OutPrepare(MidiHandle handle, MidiHeader* header) = 0;
    // Returns at once; kDone is set on the header once the bytes have really left.
    [[nodiscard]] virtual MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) = 0;
    // kMidiStillPlaying while the message is leaving; success on a header never prepared.
    [[nodiscard]] virtual MidiResult OutUnprepare(MidiHandle handle, MidiHeader* header) = 0;
    [[nodiscard]] virtual MidiResult OutClose(MidiHandle handle) = 0;

    // Inputs.
    virtual uint32_t InCount() = 0;
    virtual std::string InName(uint32_t index) = 0;  // empty for an invalid index
    [[nodiscard]] virtual MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                            std::uintptr_t instance) = 0;
    [[nodiscard]] virtual MidiResult InPrepare(MidiHandle handle, MidiHeader* header) = 0;
    [[nodiscard]] virtual MidiResult InAddBuffer(MidiHandle handle, MidiHeader* header) = 0;
    [[nodiscard]] virtual MidiResult InStart(MidiHandle handle) = 0;
    // A partly filled buffer comes back done (through the callback).
    [[nodiscard]] virtual MidiResult InStop(MidiHandle handle) = 0;
    // Every queued buffer comes back done (through the callback).
    [[nodiscard]] virtual MidiResult InReset(MidiHandle handle) = 0;
    // kMidiStillPlaying while the driver holds the buffer (until its callback has returned);
    // success on a header never prepared.
    [[nodiscard]] virtual MidiResult InUnprepare(MidiHandle handle, MidiHeader* header) = 0;
    [[nodiscard]] virtual MidiResult InClose(MidiHandle handle) = 0;
};
