#include "voice/VoiceExport.h"

#include <algorithm>
#include <cctype>

#include "voice/EX5Patch.h"
#include "voice/StandardMidiFile.h"
#include "voice/VoiceBank.h"

namespace {

bool EndsWithNoCase(const std::string& name, const std::string& ending) {
    return name.size() > ending.size() &&
           std::equal(ending.rbegin(), ending.rend(), name.rbegin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

}  // namespace

std::optional<VoiceExport::Format> VoiceExport::FormatOfName(const std::string& name) {
    if (EndsWithNoCase(name, ".syx")) {
        return Format::Sysex;
    }
    if (EndsWithNoCase(name, ".mid")) {
        return Format::MidiFile;
    }
    return std::nullopt;
}

void VoiceExport::Add(const VoiceBank& bank, int voice) {
    const char* refusal = nullptr;
    const std::unique_ptr<EX5Patch> patch = bank.TryPatchForRow(bank.VoiceRow(voice), &refusal);
    if (!patch) {
        m_Skips.push_back({voice, refusal});
        return;
    }
    const uint8_t* dump = patch->BuildDump();
    m_Dumps.emplace_back(dump, dump + patch->GetDumpLength());
}

void VoiceExport::AddBank(const VoiceBank& bank) {
    for (int voice = 0; voice < VoiceBank::kVoiceCount; ++voice) {
        Add(bank, voice);
    }
}

std::vector<uint8_t> VoiceExport::FileBytes(Format format) const {
    if (format == Format::MidiFile) {
        return StandardMidiFile::OfSysex(m_Dumps);
    }
    std::vector<uint8_t> bytes;
    for (const std::vector<uint8_t>& dump : m_Dumps) {
        bytes.insert(bytes.end(), dump.begin(), dump.end());
    }
    return bytes;
}
