#pragma once

class DriverInfo;
class Midi;

// Hands out an instrument family's conversation object. The descriptors live in the voice layer
// below, which cannot know the conversation classes, so the factory lives here.
class MidiFactory {
public:
    // A new conversation object for the descriptor's family that the caller owns, or none.
    static Midi* CreateMidi(const DriverInfo& info);
};
