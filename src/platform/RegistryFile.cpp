#include "platform/RegistryFile.h"

#include <algorithm>
#include <fstream>

#include "platform/AtomicFile.h"
#include "platform/FileKind.h"

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kHexDigits = "0123456789abcdef";
// The registry editor wraps hex data before this column.
constexpr size_t kWrapColumn = 76;

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Fold(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), LowerAscii);
    return folded;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view NextLine(std::string_view text, size_t& pos) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) {
        end = text.size();
    }
    std::string_view line = text.substr(pos, end - pos);
    pos = end < text.size() ? end + 1 : end;
    return line;
}

// Reads a quoted text starting at text[pos] == '"'; a backslash takes the next character
// literally. Leaves pos after the closing quote.
bool ReadQuoted(std::string_view text, size_t& pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"') {
        return false;
    }
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] == '"') {
            ++pos;
            return true;
        }
        if (text[pos] == '\\') {
            if (++pos == text.size()) {
                return false;
            }
        }
        out += text[pos];
    }
    return false;
}

std::optional<uint32_t> ParseHex(std::string_view digits, size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) {
        return std::nullopt;
    }
    uint32_t number = 0;
    for (char c : digits) {
        size_t digit = kHexDigits.find(LowerAscii(c));
        if (digit == std::string_view::npos) {
            return std::nullopt;
        }
        number = number << 4 | static_cast<uint32_t>(digit);
    }
    return number;
}

std::optional<std::vector<uint8_t>> ParseHexList(std::string_view list) {
    std::vector<uint8_t> bytes;
    if (Trim(list).empty()) {
        return bytes;
    }
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t comma = list.find(',', pos);
        if (comma == std::string_view::npos) {
            comma = list.size();
        }
        auto byte = ParseHex(Trim(list.substr(pos, comma - pos)), 2);
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(*byte));
        pos = comma + 1;
    }
    return bytes;
}

// The data after "=": "text", dword:, hex: or hex(kind):. Nothing when it fits no kind.
std::optional<RegistryValue> ParseData(std::string_view data) {
    RegistryValue value;
    if (data.starts_with('"')) {
        size_t pos = 0;
        std::string text;
        if (!ReadQuoted(data, pos, text) || pos != data.size()) {
            return std::nullopt;
        }
        value.m_Kind = RegistryKind::String;
        value.m_Data.assign(text.begin(), text.end());
        value.m_Data.push_back(0);
        return value;
    }
    if (data.starts_with("dword:")) {
        auto number = ParseHex(data.substr(6), 8);
        if (!number) {
            return std::nullopt;
        }
        value.m_Kind = RegistryKind::Dword;
        for (int shift = 0; shift < 32; shift += 8) {
            value.m_Data.push_back(static_cast<uint8_t>(*number >> shift));
        }
        return value;
    }
    std::string_view list;
    if (data.starts_with("hex:")) {
        value.m_Kind = RegistryKind::Binary;
        list = data.substr(4);
    } else if (data.starts_with("hex(")) {
        size_t close = data.find("):");
        auto kind = ParseHex(data.substr(4, close - 4), 8);
        if (close == std::string_view::npos || !kind) {
            return std::nullopt;
        }
        value.m_Kind = static_cast<RegistryKind>(*kind);
        list = data.substr(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = ParseHexList(list);
    if (!bytes) {
        return std::nullopt;
    }
    value.m_Data = std::move(*bytes);
    return value;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
}

// Text that reads back the same from quotes: one terminating zero, nothing below a blank.
bool IsPlainText(const std::vector<uint8_t>& data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    for (size_t i = 0; i + 1 < data.size(); ++i) {
        if (IsControl(static_cast<char>(data[i]))) {
            return false;
        }
    }
    return true;
}

void AppendHex(std::string& out, uint32_t number, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kHexDigits[number >> shift & 0xF];
    }
}

void AppendHexList(std::string& out, const std::vector<uint8_t>& data, size_t lineStart) {
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += ',';
            if (out.size() - lineStart > kWrapColumn) {
                out += "\\\n  ";
                lineStart = out.size() - 2;
            }
        }
        AppendHex(out, data[i], 2);
    }
}

}  // namespace

std::optional<RegistryFile> RegistryFile::Parse(std::string_view text) {
    RegistryFile file;
    if (text.size() > kMaxFileSize || !file.ParseLines(text)) {
        return std::nullopt;
    }
    return file;
}

bool RegistryFile::ParseLines(std::string_view text) {
    size_t pos = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    bool headerSeen = false;
    std::string keyPath;
    while (pos < text.size()) {
        std::string_view line = Trim(NextLine(text, pos));
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!headerSeen) {
            headerSeen = line == kHeader;
            if (!headerSeen) {
                return false;
            }
        } else if (line.front() == '[') {
            // "[-key]" deletes a key when imported; a stored file never holds one.
            if (line.size() < 2 || line.back() != ']' || line[1] == '-') {
                return false;
            }
            keyPath = line.substr(1, line.size() - 2);
            if (!AddKey(keyPath)) {
                return false;
            }
        } else if (line.front() == '"' || line.front() == '@') {
            // Long hex data continues on the next line after a trailing backslash.
            std::string logical(line);
            while (logical.back() == '\\' && pos < text.size()) {
                logical.pop_back();
                logical += Trim(NextLine(text, pos));
            }
            if (keyPath.empty() || !ParseValueLine(logical, keyPath)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return headerSeen;
}

bool RegistryFile::ParseValueLine(std::string_view line, const std::string& keyPath) {
    size_t pos = 0;
    std::string name;
    if (line.front() == '@') {
        pos = 1;
    } else if (!ReadQuoted(line, pos, name)) {
        return false;
    }
    std::string_view rest = Trim(line.substr(pos));
    if (!rest.starts_with('=')) {
        return false;
    }
    if (auto value = ParseData(Trim(rest.substr(1)))) {
        SetValue(keyPath, name, std::move(*value));
    }
    return true;
}

std::string RegistryFile::Format() const {
    std::string out(kHeader);
    out += '\n';
    for (const auto& [folded, key] : m_Keys) {
        out += "\n[" + key.m_Path + "]\n";
        for (const auto& [foldedName, named] : key.m_Values) {
            FormatValue(out, named);
        }
    }
    return out;
}

void RegistryFile::FormatValue(std::string& out, const NamedValue& named) {
    size_t lineStart = out.size();
    if (named.m_Name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, named.m_Name);
    }
    out += '=';
    const RegistryValue& value = named.m_Value;
    if (value.m_Kind == RegistryKind::String && IsPlainText(value.m_Data)) {
        AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.m_Data.data()),
                                           value.m_Data.size() - 1));
    } else if (value.m_Kind == RegistryKind::Dword && value.m_Data.size() == 4) {
        out += "dword:";
        for (int i = 3; i >= 0; --i) {
            AppendHex(out, value.m_Data[i], 2);
        }
    } else {
        if (value.m_Kind == RegistryKind::Binary) {
            out += "hex:";
        } else {
            out += "hex(";
            auto kind = static_cast<uint32_t>(value.m_Kind);
            int digits = 1;
            while (digits < 8 && kind >> (4 * digits) != 0) {
                ++digits;
            }
            AppendHex(out, kind, digits);
            out += "):";
        }
        AppendHexList(out, value.m_Data, lineStart);
    }
    out += '\n';
}

RegistryFile RegistryFile::Load(const std::filesystem::path& file) {
    if (FileKind::MayBlockOnOpen(file)) {
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxFileSize) {
            return {};
        }
    }
    return Parse(text).value_or(RegistryFile{});
}

bool RegistryFile::Save(const std::filesystem::path& file) const {
    std::string text = Format();
    return AtomicFile::Replace(file.string(), text.data(), text.size());
}

bool RegistryFile::IsValidKeyPath(std::string_view path) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        std::string_view name = path.substr(start, end - start);
        if (name.empty() || name.size() > kMaxKeyNameLength ||
            std::any_of(name.begin(), name.end(), IsControl)) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool RegistryFile::HasKey(std::string_view path) const {
    // A key named only on the path of another exists too, as an import would create it.
    std::string folded = Fold(path);
    if (m_Keys.contains(folded)) {
        return true;
    }
    folded += '\\';
    auto next = m_Keys.lower_bound(folded);
    return next != m_Keys.end() && next->first.starts_with(folded);
}

bool RegistryFile::AddKey(std::string_view path) {
    if (!IsValidKeyPath(path)) {
        return false;
    }
    m_Keys.try_emplace(Fold(path), Key{std::string(path), {}});
    return true;
}

const RegistryValue* RegistryFile::FindValue(std::string_view path, std::string_view name) const {
    auto key = m_Keys.find(Fold(path));
    if (key == m_Keys.end()) {
        return nullptr;
    }
    auto value = key->second.m_Values.find(Fold(name));
    return value == key->second.m_Values.end() ? nullptr : &value->second.m_Value;
}

bool RegistryFile::SetValue(std::string_view path, std::string_view name, RegistryValue value) {
    if (!HasKey(path) || !AddKey(path)) {
        return false;
    }
    if (std::any_of(name.begin(), name.end(), IsControl)) {
        return false;
    }
    m_Keys[Fold(path)].m_Values.insert_or_assign(Fold(name),
                                                 NamedValue{std::string(name), std::move(value)});
    return true;
}
