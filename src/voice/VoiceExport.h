#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class VoiceBank;

// The bulk dumps of chosen voices of a bank, one after another, for a file: raw System Exclusive
// (".syx") or a Standard MIDI File (".mid").
class VoiceExport {
public:
    enum class Format { Sysex, MidiFile };

    struct Skip {
        int voice;
        const char* reason;  // VoiceBank::kNoDrumsText or VoiceBank::kAssemblyProblemText
    };

    // The format a file name asks for by its ending, in any case; none for another ending.
    static std::optional<Format> FormatOfName(const std::string& name);

    // Adds the dump that sending the voice would send, or the reason it cannot be sent.
    void Add(const VoiceBank& bank, int voice);
    // Every voice of the bank in slot order.
    void AddBank(const VoiceBank& bank);

    const std::vector<std::vector<uint8_t>>& Dumps() const { return m_Dumps; }
    const std::vector<Skip>& Skips() const { return m_Skips; }
    std::vector<uint8_t> FileBytes(Format format) const;

private:
    std::vector<std::vector<uint8_t>> m_Dumps;
    std::vector<Skip> m_Skips;
};
