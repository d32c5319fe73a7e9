#include "platform/MountTable.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

namespace {

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

// The kernel writes a blank, tab, newline or backslash in a name as a backslash and three octal
// digits.
std::string Unescape(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        const bool escape = field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
                            IsOctal(field[i + 2]) && IsOctal(field[i + 3]);
        if (escape) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t start = line.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos) {
            break;
        }
        const size_t end = std::min(line.find_first_of(" \t", start), line.size());
        fields.push_back(line.substr(start, end - start));
        pos = end;
    }
    return fields;
}

}  // namespace

std::vector<MountTable::Entry> MountTable::Parse(std::string_view text) {
    std::vector<Entry> entries;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const auto fields = Fields(text.substr(0, end));
        if (fields.size() >= 3) {
            entries.push_back({Unescape(fields[0]), Unescape(fields[1]), Unescape(fields[2])});
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return entries;
}

std::vector<MountTable::Entry> MountTable::Read() {
    std::ifstream file("/proc/self/mounts");
    std::ostringstream text;
    text << file.rdbuf();
    return Parse(text.str());
}

bool MountTable::IsNetworkType(std::string_view fsType) {
    static constexpr std::array<std::string_view, 10> kTypes = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs", "davfs", "afs", "ncpfs"};
    return std::find(kTypes.begin(), kTypes.end(), fsType) != kTypes.end();
}
