#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A Standard MIDI File of format 0 (one track, 480 ticks a quarter note at the default 120 bpm)
// that plays System Exclusive messages one after another, each once the previous one has left
// the cable and the instrument has had 500 ms to take it.
class StandardMidiFile {
public:
    static constexpr uint16_t kTicksPerQuarter = 480;

    // Each message starts with F0 and ends with F7.
    static std::vector<uint8_t> OfSysex(const std::vector<std::vector<uint8_t>>& messages);
    // The ticks from a message of this many bytes to the next event: its time at 31,250 baud,
    // ten bits a byte, plus 500 ms, rounded up.
    static uint32_t TicksAfter(size_t messageLength);
};
