#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A value's kind, numbered as the registry numbers them.
enum class RegistryKind : uint32_t {
    None = 0,
    String = 1,        // text with its terminating zero
    ExpandString = 2,  // text with environment references, kept unexpanded
    Binary = 3,
    Dword = 4,  // 32-bit number, least significant byte first
};

struct RegistryValue {
    RegistryKind m_Kind = RegistryKind::None;
    std::vector<uint8_t> m_Data;

    bool operator==(const RegistryValue&) const = default;
};

// The keys and values of one registry root, read from and written to the registry editor's
// export text ("REGEDIT4", [key] sections, "name"="text", dword:, hex:, hex(n):).
// Key paths are full paths beginning with the root's name; keys and value names compare
// ignoring ASCII case, as the registry does.
class RegistryFile {
public:
    // Larger files are not read: settings never come near this.
    static constexpr size_t kMaxFileSize = 1 << 20;
    static constexpr size_t kMaxKeyNameLength = 255;

    // The file's keys, or nothing when the text is not an export: a missing header, a line
    // that is neither a section, a value nor a comment, a value outside a section, a bad
    // section name or a value name without "=". A value whose data does not fit its kind
    // is left out and the rest is kept.
    static std::optional<RegistryFile> Parse(std::string_view text);
    std::string Format() const;

    // A missing, unreadable, oversized or unparseable file reads as having no keys.
    static RegistryFile Load(const std::filesystem::path& file);
    // Replaces the file atomically, so a reader or a crash never sees half a file.
    bool Save(const std::filesystem::path& file) const;

    // Backslash-separated names, none empty, at most 255 bytes, no control characters.
    static bool IsValidKeyPath(std::string_view path);
    bool HasKey(std::string_view path) const;
    // Adds the key and any missing key on its path; false for an invalid path.
    bool AddKey(std::string_view path);
    // Null when the key or the value does not exist.
    const RegistryValue* FindValue(std::string_view path, std::string_view name) const;
    // False when the key does not exist or the name holds a control character.
    bool SetValue(std::string_view path, std::string_view name, RegistryValue value);

    bool operator==(const RegistryFile&) const = default;

private:
    struct NamedValue {
        std::string m_Name;
        RegistryValue m_Value;
        bool operator==(const NamedValue&) const = default;
    };
    struct Key {
        std::string m_Path;
        std::map<std::string, NamedValue> m_Values;  // by case-folded name
        bool operator==(const Key&) const = default;
    };

    bool ParseLines(std::string_view text);
    bool ParseValueLine(std::string_view line, const std::string& keyPath);
    static void FormatValue(std::string& out, const NamedValue& named);

    std::map<std::string, Key> m_Keys;  // by case-folded path
};
