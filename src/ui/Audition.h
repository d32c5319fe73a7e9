#pragma once

#include <cstdint>
#include <initializer_list>

class EXParams;

// What the audition buttons play on MIDI channel 1. Each play opens a port pair of its own on the
// job record's devices, sends its notes through the conversation's short-message operation
// (which waits the record's delay before each) and closes the ports again: nothing is kept
// between a press and its release.
class Audition {
public:
    static constexpr uint32_t kTrillPause = 400;

    explicit Audition(EXParams& params);

    void PlayNote();
    void PlayMajorChord();
    void PlayMinorChord();
    // The four notes one after the other, kTrillPause after each but the last.
    void PlayTrill();
    // Silences every note a play can start; the dialog keeps no record of what sounds.
    void Release();

private:
    void Play(std::initializer_list<int> notes, int velocity, uint32_t pause);

    EXParams& m_Params;
};
