#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryKey.h"

// One registry key under one root, holding the program's settings. The key is opened and
// closed afresh for every operation, so nothing stays open between them. Failures are silent:
// a read that fails gives the caller's default, a write that fails returns false and leaves
// the stored value as it was.
class SettingsStore {
public:
    static constexpr size_t kMaxTextLength = 254;  // characters, without the terminating zero
    static constexpr size_t kTextBufferSize = 255;
    static constexpr size_t kNumberSize = 4;

    // Accepts the four predefined roots; any other value gives false and changes nothing.
    bool SelectRoot(RegistryRoot root);
    // Makes path the key of every later operation. An empty path selects the root and opens
    // nothing. Without create the key must exist; with create it is made, with any missing
    // key on its path. On failure the previous key stays selected.
    bool OpenKey(std::string_view path, bool create);
    // The value's kind; RegistryKind::None when the key does not open or the value is absent.
    RegistryKind ValueType(std::string_view name) const;
    // Text or expandable text of at most 254 characters, returned without expansion and up
    // to its first zero; anything else gives the default.
    std::string GetString(std::string_view name, std::string_view defaultText) const;
    // Exactly four stored bytes, least significant first, whatever the value's kind; a
    // missing, shorter or longer value gives the default.
    uint32_t GetNumber(std::string_view name, uint32_t defaultNumber) const;
    uint32_t GetFlag(std::string_view name, uint32_t defaultFlag) const;
    // Text of more than 254 characters is refused without opening the key. Otherwise it is
    // written with its terminating zero as RegistryKind::String.
    bool PutString(std::string_view name, std::string_view text) const;
    // Four bytes, least significant first, as RegistryKind::Binary.
    bool PutNumber(std::string_view name, uint32_t number) const;
    bool PutFlag(std::string_view name, uint32_t flag) const;

private:
    std::optional<RegistryValue> Read(std::string_view name) const;
    bool Write(std::string_view name, const RegistryValue& value) const;

    RegistryRoot m_Root = RegistryRoot::CurrentUser;
    std::string m_KeyPath;
};
