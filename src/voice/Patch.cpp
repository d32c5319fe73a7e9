#include "voice/Patch.h"

void Patch::WriteName(FILE* file) const {
    WriteNameLine(file, GetPatchName());
}

int32_t Patch::GetProgramNumber() const {
    return 0;
}

const char* Patch::GetPatchName() const {
    return m_Name ? m_Name->c_str() : nullptr;
}

void Patch::WriteNameLine(FILE* file, const char* name) {
    std::fprintf(file, "Name %s \r\n", name ? name : "");
}
