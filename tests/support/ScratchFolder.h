#pragma once

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

// A fresh folder of its own under the system's temporary folder, for tests and benchmarks alike;
// it goes with all it holds when the object goes. On request it is also the current directory
// (where the jobs write their log) or what environment variables point at (the settings' home),
// each until the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name = "sonavist") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (name + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder " + pattern);
        }
        m_Dir = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!m_Previous.empty()) {
            std::filesystem::current_path(m_Previous, ignored);
        }
        for (const auto& [variable, value] : m_Environment) {
            if (value) {
                setenv(variable.c_str(), value->c_str(), 1);
            } else {
                unsetenv(variable.c_str());
            }
        }
        std::filesystem::remove_all(m_Dir, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_Dir; }
    // The path of `name` inside the folder.
    std::string File(const std::string& name) const { return (m_Dir / name).string(); }

    void MakeCurrent() {
        if (m_Previous.empty()) {
            m_Previous = std::filesystem::current_path();
        }
        std::filesystem::current_path(m_Dir);
    }

    // Points the environment variable at `name` inside the folder.
    void PointAt(const std::string& variable, const std::string& name) {
        if (!m_Environment.count(variable)) {
            const char* value = std::getenv(variable.c_str());
            m_Environment[variable] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        setenv(variable.c_str(), File(name).c_str(), 1);
    }

private:
    std::filesystem::path m_Dir;
    std::filesystem::path m_Previous;
    std::map<std::string, std::optional<std::string>> m_Environment;  // the values to restore
};
