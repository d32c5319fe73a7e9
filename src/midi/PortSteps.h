#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "midi/MidiDriver.h"

class PortParams;

// Steps the input and the output port take alike.

// The devices of one direction, as GetDeviceName reports them.
struct DeviceList {
    uint32_t (MidiDriver::*count)();
    std::string (MidiDriver::*name)(uint32_t index);
    const char* module;       // of the errors raised
    const char* invalidText;  // raised for an index (as unsigned) not below the count
};

// Puts device `deviceIndex`'s name into `dest` of `length` characters: the first character is a
// terminator before anything is checked, the rest of the characters are filled with terminators
// and the last one always is one, so a long name is cut.
int GetDeviceName(const DeviceList& list, int32_t deviceIndex, char* dest, uint32_t length);

// Asks the driver to give back a long-message buffer, polling at most job.m_Tries times (at
// least once) job.m_Delay milliseconds apart while it answers still-playing, and writes
// `waitingNote` to the job log on the first such answer and "." on each later one. A message
// whose bytes cannot have left the cable by then (`leavesBy`) gets that time, then as many polls
// again, at least kLeavingPollMs apart. Returns the last answer: kMidiOk once the buffer is
// back, else the failure (still-playing after the last try).
constexpr uint32_t kLeavingPollMs = 10;
MidiResult WaitForUnprepare(const PortParams& job, const char* waitingNote,
                            MidiResult (MidiDriver::*unprepare)(MidiHandle, MidiHeader*),
                            MidiHandle handle, MidiHeader* header,
                            std::chrono::steady_clock::time_point leavesBy = {});

// Runs a port's close for a port destroyed while open. No job record is at hand (the owner's may
// be gone), so it polls a few times a few milliseconds apart, logs nothing and swallows every
// error. True when the close went through.
bool CloseWithoutJob(const std::function<void(PortParams&)>& close);
