#include "platform/RegistryKey.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/HomeFolder.h"

std::filesystem::path RegistryKey::Folder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::filesystem::path(config) / "Sonavist";
    }
    std::string home = HomeFolder();
    if (home.empty()) {
        return {};
    }
    return std::filesystem::path(home) / ".config" / "Sonavist";
}

std::optional<std::string_view> RegistryKey::RootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::ClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case RegistryRoot::CurrentUser:
            return "HKEY_CURRENT_USER";
        case RegistryRoot::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
        case RegistryRoot::Users:
            return "HKEY_USERS";
    }
    return std::nullopt;
}

bool RegistryKey::Locate(RegistryRoot root, std::string_view path) {
    Close();
    auto rootName = RootName(root);
    std::filesystem::path folder = Folder();
    if (!rootName || folder.empty()) {
        return false;
    }
    m_File = folder / (std::string(*rootName) + ".reg");
    m_Key = *rootName;
    if (!path.empty()) {
        m_Key += '\\';
        m_Key += path;
    }
    return RegistryFile::IsValidKeyPath(m_Key);
}

template <typename Change>
bool RegistryKey::Update(Change change) {
    std::error_code error;
    std::filesystem::create_directories(m_File.parent_path(), error);
    // The folder itself is the lock, so no lock file is left beside the settings.
    int lock = open(m_File.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock < 0) {
        return false;
    }
    // Should locking fail, the uniquely named temporaries still keep the file whole.
    flock(lock, LOCK_EX);
    RegistryFile file = RegistryFile::Load(m_File);
    bool saved = change(file) && file.Save(m_File);
    if (saved) {
        m_Contents = std::move(file);
    }
    close(lock);
    return saved;
}

bool RegistryKey::Open(RegistryRoot root, std::string_view path) {
    if (!Locate(root, path)) {
        return false;
    }
    RegistryFile contents = RegistryFile::Load(m_File);
    if (!path.empty() && !contents.HasKey(m_Key)) {
        return false;
    }
    m_Contents = std::move(contents);
    return true;
}

bool RegistryKey::Create(RegistryRoot root, std::string_view path) {
    if (Open(root, path)) {
        return true;
    }
    if (!Locate(root, path)) {
        return false;
    }
    return Update([this](RegistryFile& file) { return file.AddKey(m_Key); });
}

std::optional<RegistryValue> RegistryKey::Query(std::string_view name) const {
    const RegistryValue* value = m_Contents ? m_Contents->FindValue(m_Key, name) : nullptr;
    if (value == nullptr) {
        return std::nullopt;
    }
    return *value;
}

bool RegistryKey::Set(std::string_view name, const RegistryValue& value) {
    if (!m_Contents) {
        return false;
    }
    bool isRoot = m_Key.find('\\') == std::string::npos;
    return Update([&](RegistryFile& file) {
        if (isRoot) {
            file.AddKey(m_Key);
        }
        return file.SetValue(m_Key, name, value);
    });
}

void RegistryKey::Close() {
    m_Contents.reset();
}
