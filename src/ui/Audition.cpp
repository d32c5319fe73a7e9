#include "Audition.h"

#include "conversation/EXParams.h"
#include "conversation/Midi.h"
#include "midi/MidiParams.h"
#include "platform/Sleep.h"

namespace {

constexpr int kNoteOn = 0x90;
constexpr int kRoot = 60;
constexpr int kVelocity = 64;
// A note on with velocity 0, which the instrument takes as a note off.
constexpr int kOff = 0;

}  // namespace

Audition::Audition(EXParams& params) : m_Params(params) {}

void Audition::PlayNote() {
    Play({kRoot}, kVelocity, 0);
}

void Audition::PlayMajorChord() {
    Play({kRoot, kRoot + 4, kRoot + 7}, kVelocity, 0);
}

void Audition::PlayMinorChord() {
    Play({kRoot, kRoot + 3, kRoot + 7}, kVelocity, 0);
}

void Audition::PlayTrill() {
    Play({kRoot, kRoot + 4, kRoot + 7, kRoot + 12}, kVelocity, kTrillPause);
}

void Audition::Release() {
    Play({kRoot, kRoot + 3, kRoot + 4, kRoot + 7, kRoot + 12}, kOff, 0);
}

// An error leaves at the failing step; the pair closes what is still open as it goes.
void Audition::Play(std::initializer_list<int> notes, int velocity, uint32_t pause) {
    MidiParams ports;
    Midi midi;
    ports.m_MidiIn.Open(m_Params.m_MidiInDevice);
    ports.m_MidiOut.Open(m_Params);
    int left = static_cast<int>(notes.size());
    for (const int note : notes) {
        midi.SendShortMessage(m_Params, ports, kNoteOn, note, velocity);
        if (pause && --left > 0) {
            Sleep(pause);
        }
    }
    ports.m_MidiIn.Close(m_Params);
    ports.m_MidiOut.Close(m_Params);
}
