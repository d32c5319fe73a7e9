#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

// One voice taken out of a bank, ready to be turned into what the instrument receives.
class Patch {
public:
    virtual ~Patch() = default;

    // Writes "Name %s \r\n" to an open text file.
    virtual void WriteName(FILE* file) const;
    // The program number the patch is meant for; 0 when it has none.
    virtual int32_t GetProgramNumber() const;

    // The name, or none.
    const char* GetPatchName() const;

protected:
    static void WriteNameLine(FILE* file, const char* name);

    std::optional<std::string> m_Name;
};
