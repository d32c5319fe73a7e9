#include "TerminalText.h"

#include <cstdio>

namespace {

bool IsControl(unsigned char byte) {
    return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F);
}

// Appends the byte escaped, or returns false when it stands for itself.
bool AppendEscaped(std::string& out, unsigned char byte) {
    if (byte == '\\') {
        out += "\\\\";
        return true;
    }
    if (!IsControl(byte)) {
        return false;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
    out += escaped;
    return true;
}

}  // namespace

std::string TerminalText::Latin1(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (AppendEscaped(out, byte)) {
            continue;
        }
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | byte >> 6);
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

std::string TerminalText::Row(std::string_view row) {
    std::string out;
    for (int field = 0; field < 2; ++field) {
        const size_t tab = row.find('\t');
        if (tab == std::string_view::npos) {
            break;
        }
        out += Latin1(row.substr(0, tab)) + '\t';
        row.remove_prefix(tab + 1);
    }
    return out + Latin1(row);
}

std::string TerminalText::Utf8(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        // Bytes 0x80 to 0x9F are parts of UTF-8 characters here, not controls.
        if (byte >= 0x80 || !AppendEscaped(out, byte)) {
            out += c;
        }
    }
    return out;
}
