#include "library/BankReader.h"

#include <memory>

#include "library/VoiceFingerprint.h"
#include "voice/EXException.h"
#include "voice/VoiceBank.h"

BankRecord BankReader::Read(const std::string& path) {
    BankRecord record;
    VoiceBank bank;
    try {
        bank.LoadBank(path);
    } catch (EXException* error) {
        const std::unique_ptr<EXException> owned(error);
        record.problem = error ? error->m_Message : "Unidentified error";
        return record;
    }
    const auto elements = bank.FindAllElements();
    record.voices.reserve(VoiceBank::kVoiceCount);
    for (int voice = 0; voice < VoiceBank::kVoiceCount; ++voice) {
        record.voices.push_back(
            {voice, bank.ShownCode(voice), bank.Name(voice),
             VoiceFingerprint::Of(bank, voice, elements[static_cast<size_t>(voice)])});
    }
    return record;
}
