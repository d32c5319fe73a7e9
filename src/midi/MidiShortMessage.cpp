#include "midi/MidiShortMessage.h"

std::size_t MidiShortMessage::Length(uint8_t status) {
    switch (status & 0xF0) {
        case 0xC0:
        case 0xD0:
            return 2;
        case 0xF0:
            return status == 0xF2 ? 3 : (status == 0xF1 || status == 0xF3) ? 2 : 1;
        default:
            return 3;
    }
}

std::size_t MidiShortMessage::Unpack(uint32_t packed, uint8_t* bytes) {
    for (int i = 0; i < 3; ++i) {
        bytes[i] = static_cast<uint8_t>(packed >> (8 * i));
    }
    return Length(bytes[0]);
}

uint32_t MidiShortMessage::Pack(const uint8_t* bytes, std::size_t length) {
    uint32_t packed = 0;
    for (std::size_t i = 0; i < length && i < 3; ++i) {
        packed |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    }
    return packed;
}
