#pragma once

// Stops the fuzzer with a crash report, and the input kept, when a property does not hold.
inline void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}
