#include "voice/EX5Parser.h"

uint8_t EX5Parser::Checksum(const uint8_t* data, size_t length) const {
    unsigned sum = 0;
    for (size_t i = 0; i < length; ++i) {
        sum += data[i];
    }
    return static_cast<uint8_t>((128 - (sum & 0x7F)) & 0x7F);
}
