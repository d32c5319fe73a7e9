#include "BankDescription.h"

#include <algorithm>
#include <sstream>

#include "voice/EX5Info.h"
#include "voice/EX5Patch.h"
#include "voice/VoiceBank.h"

namespace {

constexpr size_t kParameterStart = VoiceBank::kCategoryByte + 1;

// Deterministic bytes with every bit pattern, so the dumps exercise the high-bit packing.
class ByteStream {
public:
    explicit ByteStream(uint32_t seed) : m_State(seed * 2654435761u + 0x9E3779B9u) {}
    uint8_t Next() {
        m_State ^= m_State << 13;
        m_State ^= m_State >> 17;
        m_State ^= m_State << 5;
        return static_cast<uint8_t>(m_State >> 11);
    }

private:
    uint32_t m_State;
};

std::optional<uint32_t> Number(const std::string& word, uint32_t max) {
    if (word.empty() || word.size() > 10 ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const unsigned long long value = std::stoull(word);
    return value <= max ? std::optional<uint32_t>(static_cast<uint32_t>(value)) : std::nullopt;
}

std::optional<uint8_t> Category(const std::string& word) {
    if (word == "xx") {
        return 0;
    }
    const EX5Info info;
    for (uint32_t category = 0; category < 23; ++category) {
        if (word == info.GetCategoryCode(category)) {
            return static_cast<uint8_t>(category);
        }
    }
    const auto number = Number(word, 255);
    return number ? std::optional<uint8_t>(static_cast<uint8_t>(*number)) : std::nullopt;
}

// The quoted name that ends the line, or none.
std::optional<std::string> QuotedName(std::istream& rest) {
    std::string text((std::istreambuf_iterator<char>(rest)), std::istreambuf_iterator<char>());
    const size_t open = text.find('"');
    const size_t close = text.rfind('"');
    if (open == std::string::npos || close == open || text.find_first_not_of(" \t") != open ||
        text.find_first_not_of(" \t\r", close + 1) != std::string::npos) {
        return std::nullopt;
    }
    std::string name = text.substr(open + 1, close - open - 1);
    if (name.size() > VoiceBank::kNameLength || name.find('"') != std::string::npos) {
        return std::nullopt;
    }
    return name;
}

// Parses one line into the description; gives the problem, or an empty text.
std::string ParseLine(const std::string& line, std::vector<BankDescription::Voice>& voices) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string keyword;
    if (!(words >> keyword)) {
        return {};
    }
    if (keyword == "voice") {
        std::string slot;
        std::string code;
        words >> slot >> code;
        BankDescription::Voice voice;
        voice.slot = VoiceBank::VoiceIndexFromSlot(slot);
        if (voice.slot < 0) {
            return "slot must be I1-001 to I2-128";
        }
        if (std::any_of(voices.begin(), voices.end(),
                        [&](const auto& other) { return other.slot == voice.slot; })) {
            return "slot " + slot + " described twice";
        }
        const auto category = Category(code);
        if (!category) {
            return "unknown category " + code;
        }
        const auto name = QuotedName(words);
        if (!name) {
            return "name must be quoted and at most 12 characters";
        }
        voice.category = *category;
        voice.name = *name;
        voices.push_back(voice);
        return {};
    }
    if (voices.empty()) {
        return keyword == "common" || keyword == "element" ? keyword + " before any voice"
                                                           : "unknown keyword " + keyword;
    }
    std::string first;
    std::string second;
    std::string extra;
    words >> first >> second >> extra;
    BankDescription::Voice& voice = voices.back();
    if (keyword == "common") {
        const auto seed = Number(first, UINT32_MAX);
        if (!seed || !second.empty()) {
            return "common takes one seed";
        }
        voice.commonSeed = seed;
        return {};
    }
    if (keyword == "element") {
        const auto number = Number(first, EX5Patch::kElementCount - 1);
        const auto seed = Number(second, UINT32_MAX);
        if (!number || !seed || !extra.empty()) {
            return "element takes a number 0-3 and a seed";
        }
        if (std::any_of(voice.elements.begin(), voice.elements.end(),
                        [&](const auto& element) { return element.first == int(*number); })) {
            return "element " + first + " described twice";
        }
        voice.elements.emplace_back(*number, *seed);
        return {};
    }
    return "unknown keyword " + keyword;
}

// Seed 0 gives zero bytes, any other seed its own byte pattern.
void Fill(uint8_t* begin, uint8_t* end, uint32_t seed) {
    ByteStream bytes(seed);
    std::generate(begin, end, [&] { return seed == 0 ? uint8_t{0} : bytes.Next(); });
}

}  // namespace

std::optional<BankDescription> BankDescription::Parse(std::istream& in, std::string& error) {
    BankDescription description;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string problem = ParseLine(line, description.m_Voices);
        if (!problem.empty()) {
            error = "line " + std::to_string(number) + ": " + problem;
            return std::nullopt;
        }
    }
    return description;
}

std::optional<BankImage> BankDescription::BuildImage(std::string& error) const {
    std::vector<Voice> voices = m_Voices;
    for (int slot = 0; slot < VoiceBank::kVoiceCount; ++slot) {
        if (std::none_of(voices.begin(), voices.end(),
                         [slot](const Voice& voice) { return voice.slot == slot; })) {
            voices.push_back(Voice{slot, 0, "Init Voice", std::nullopt, {{0, 0}}});
        }
    }
    BankImage image;
    image.MarkElementsUnused();
    int nextBlock = 0;
    for (const Voice& voice : voices) {
        image.SetVoice(voice.slot, voice.name, voice.category);
        uint8_t* common = image.Common(voice.slot);
        if (voice.commonSeed) {
            Fill(common + kParameterStart, common + EX5Patch::kCommonSize, *voice.commonSeed);
        }
        for (const auto& [number, seed] : voice.elements) {
            if (nextBlock == VoiceBank::kElementBlockCount) {
                error = "more than 1024 elements in the bank";
                return std::nullopt;
            }
            image.SetEntry(nextBlock, static_cast<uint8_t>(voice.slot),
                           static_cast<uint8_t>(number));
            uint8_t* block = image.Element(nextBlock);
            Fill(block, block + EX5Patch::kElementSize, seed);
            // A block beginning with 0xFF would count as not in use.
            block[0] &= 0x7F;
            ++nextBlock;
        }
    }
    return image;
}

const char* BankDescription::Help() {
    return R"(usage: sonavist-bankgen DESCRIPTION OUTPUT

Writes the voice-bank file (.s1v, 197760 bytes) that a text description gives.

Description, one statement a line; '#' starts a comment:
  voice SLOT CODE "NAME"   a voice in SLOT (I1-001 to I2-128) with the category CODE
                           (Pf Cp Or Gt Ba St En Br Rd Pi Ld Pd Fx Et Pc Se Dr Sc Vo Co Wv Sq,
                           xx for none, or a number 0-255) and a NAME of up to 12 characters
  common SEED              fills the voice's parameters (bytes 13-235) from SEED
  element N SEED           element N (0-3) is in use; its 132 bytes come from SEED
NAME may hold neither '"' nor '#'. SEED is a number; 0 gives zero bytes, any other a fixed
pattern of its own. Element blocks are handed out in the order of the element lines. A voice with
no element line has no element in use. Slots not described hold "Init Voice" (code xx) with one
all-zero element.
)";
}
