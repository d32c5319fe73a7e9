#pragma once

// The sound a refused action makes. Tests cannot hear it, so it is counted.
class Beeper {
public:
    static void Beep();
    // Beeps since the program started.
    static int Count();
};
