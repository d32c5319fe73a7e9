#include "platform/SettingsStore.h"

#include <algorithm>

bool SettingsStore::SelectRoot(RegistryRoot root) {
    if (!RegistryKey::RootName(root)) {
        return false;
    }
    m_Root = root;
    return true;
}

bool SettingsStore::OpenKey(std::string_view path, bool create) {
    if (path.empty()) {
        m_KeyPath.clear();
        return true;
    }
    RegistryKey key;
    if (!(create ? key.Create(m_Root, path) : key.Open(m_Root, path))) {
        return false;
    }
    m_KeyPath = path;
    key.Close();
    return true;
}

RegistryKind SettingsStore::ValueType(std::string_view name) const {
    auto value = Read(name);
    return value ? value->m_Kind : RegistryKind::None;
}

std::string SettingsStore::GetString(std::string_view name, std::string_view defaultText) const {
    auto value = Read(name);
    if (!value ||
        (value->m_Kind != RegistryKind::String && value->m_Kind != RegistryKind::ExpandString) ||
        value->m_Data.size() > kTextBufferSize) {
        return std::string(defaultText);
    }
    auto end = std::find(value->m_Data.begin(), value->m_Data.end(), 0);
    return std::string(value->m_Data.begin(), end);
}

uint32_t SettingsStore::GetNumber(std::string_view name, uint32_t defaultNumber) const {
    auto value = Read(name);
    if (!value || value->m_Data.size() != kNumberSize) {
        return defaultNumber;
    }
    uint32_t number = 0;
    for (size_t i = kNumberSize; i-- > 0;) {
        number = number << 8 | value->m_Data[i];
    }
    return number;
}

uint32_t SettingsStore::GetFlag(std::string_view name, uint32_t defaultFlag) const {
    return GetNumber(name, defaultFlag);
}

bool SettingsStore::PutString(std::string_view name, std::string_view text) const {
    if (text.size() > kMaxTextLength) {
        return false;
    }
    RegistryValue value{RegistryKind::String, {text.begin(), text.end()}};
    value.m_Data.push_back(0);
    return Write(name, value);
}

bool SettingsStore::PutNumber(std::string_view name, uint32_t number) const {
    RegistryValue value{RegistryKind::Binary, {}};
    for (size_t i = 0; i < kNumberSize; ++i) {
        value.m_Data.push_back(static_cast<uint8_t>(number >> (8 * i)));
    }
    return Write(name, value);
}

bool SettingsStore::PutFlag(std::string_view name, uint32_t flag) const {
    return PutNumber(name, flag);
}

std::optional<RegistryValue> SettingsStore::Read(std::string_view name) const {
    RegistryKey key;
    if (!key.Open(m_Root, m_KeyPath)) {
        return std::nullopt;
    }
    return key.Query(name);
}

bool SettingsStore::Write(std::string_view name, const RegistryValue& value) const {
    RegistryKey key;
    return key.Open(m_Root, m_KeyPath) && key.Set(name, value);
}
