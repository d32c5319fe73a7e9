#pragma once

#include <cstdint>

// Suspends the calling thread for the given milliseconds (0 yields).
void Sleep(uint32_t milliseconds);
