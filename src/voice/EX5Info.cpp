#include "voice/EX5Info.h"

#include <array>

namespace {

constexpr std::array<const char*, 5> kBankNames = {"Preset1", "Preset2", "Internal1", "Internal2",
                                                   "Performance"};

struct Category {
    const char* code;
    const char* name;
};

constexpr std::array<Category, 23> kCategories = {{
    {"--", "No Assign"},
    {"Pf", "Piano"},
    {"Cp", "Chromatic Percussion"},
    {"Or", "Organ"},
    {"Gt", "Guitar"},
    {"Ba", "Bass"},
    {"St", "Strings/Orchestral"},
    {"En", "Ensemble"},
    {"Br", "Brass"},
    {"Rd", "Reed"},
    {"Pi", "Pipe"},
    {"Ld", "Synth Lead"},
    {"Pd", "Synth Pad"},
    {"Fx", "Synth Sound"},
    {"Et", "Ethnic"},
    {"Pc", "Percussive"},
    {"Se", "Sound Effects"},
    {"Dr", "Drums"},
    {"Sc", "Synth Comping"},
    {"Vo", "Vocal"},
    {"Co", "Combination"},
    {"Wv", "Material Wave"},
    {"Sq", "Sequence"},
}};

const Category& CategoryEntry(uint32_t category) {
    return kCategories[category < kCategories.size() ? category : 0];
}

}  // namespace

const char* EX5Info::GetName() const {
    return "Yamaha EX5/5R/7";
}

int32_t EX5Info::GetBankCount() const {
    return static_cast<int32_t>(kBankNames.size());
}

bool EX5Info::CanSendVoices() const {
    return true;
}

int32_t EX5Info::GetMinElementCount() const {
    return 1;
}

int32_t EX5Info::GetDumpFormatVersion() const {
    return 1;
}

const char* EX5Info::GetBankName(uint32_t index) const {
    // Through the virtual count, so a descriptor that changes the count moves the bound with it.
    const int32_t count = GetBankCount();
    if (count <= 0 || index >= static_cast<uint32_t>(count) || index >= kBankNames.size()) {
        return nullptr;
    }
    return kBankNames[index];
}

const char* EX5Info::GetCategoryCode(uint32_t category) const {
    return CategoryEntry(category).code;
}

const char* EX5Info::GetCategoryName(uint32_t category) const {
    return CategoryEntry(category).name;
}

int32_t EX5Info::GetVoiceCount() const {
    return 256;
}
