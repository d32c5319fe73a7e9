#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryFile.h"

// The predefined roots, numbered as the registry numbers them.
enum class RegistryRoot : uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
    Users = 0x80000003,
};

// One open registry key, standing in for the platform's key handle. Each root lives in a file
// of its own, <Folder()>/<root name>.reg; the machine-wide root is kept per user there, as the
// registry's virtual store keeps it for programs without administrator rights. Every access the
// file system allows is granted. The handle holds no file open: it reads the file when it is
// opened, and each write rereads, changes and replaces the file under a lock, so programs
// writing at once lose no value and never leave a torn file.
class RegistryKey {
public:
    // $XDG_CONFIG_HOME/Sonavist when that is an absolute path, else ~/.config/Sonavist.
    static std::filesystem::path Folder();
    // "HKEY_LOCAL_MACHINE" and so on; nothing for a value that names no root.
    static std::optional<std::string_view> RootName(RegistryRoot root);

    // Opens an existing key; an empty path opens the root itself. False when the root is
    // unknown or the key does not exist.
    bool Open(RegistryRoot root, std::string_view path);
    // Opens the key, creating it and any missing key on its path first. False when the root is
    // unknown, the path is not a key name or the file cannot be written.
    bool Create(RegistryRoot root, std::string_view path);
    // The value as read when the key was opened or last written; nothing when absent or closed.
    std::optional<RegistryValue> Query(std::string_view name) const;
    // Writes one value into the key; false when closed, when the key has gone from the file
    // since it was opened, or when the file cannot be written.
    bool Set(std::string_view name, const RegistryValue& value);
    void Close();

private:
    bool Locate(RegistryRoot root, std::string_view path);
    // Runs change on the freshly read file under the root's lock and saves the file when
    // change asks for it; false when the file was not saved.
    template <typename Change>
    bool Update(Change change);

    std::filesystem::path m_File;
    std::string m_Key;  // full path, beginning with the root's name
    std::optional<RegistryFile> m_Contents;
};
