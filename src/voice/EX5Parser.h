#pragma once

#include <cstddef>
#include <cstdint>

#include "voice/Parser.h"

class EX5Parser : public Parser {
public:
    // The value that, added to the given bytes, makes the low 7 bits of their sum 0 (0 to 127).
    uint8_t Checksum(const uint8_t* data, size_t length) const;
};
