#pragma once

#include <memory>

#include "midi/MidiDriver.h"

// The process's one MIDI driver, installed at start (the default chain by the programs, a fake
// by the tests). Before anything is installed, and after installing none, it is a driver with no
// devices. Install only while no port is open: ports hold no reference of their own.
class MidiSystem {
public:
    static MidiDriver& Driver();
    static void Install(std::shared_ptr<MidiDriver> driver);
};
