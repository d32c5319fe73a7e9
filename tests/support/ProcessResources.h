#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

// What the process holds that a finished job must give back: its threads and open files.
struct ProcessResources {
    std::size_t threads = 0;
    std::size_t files = 0;

    static ProcessResources Now() { return {Entries("/proc/self/task"), OwnFiles()}; }
    // Holds no more of either than `limit`. (Fewer is fine: a JACK client lets go of the shared
    // memory of a peer that went away.)
    bool Within(const ProcessResources& limit) const {
        return threads <= limit.threads && files <= limit.files;
    }

    // What the open files are, for a failure message.
    static std::string FileNames() {
        std::string names;
        for (const std::string& target : FileTargets()) {
            names += target + "\n";
        }
        return names;
    }

private:
    static std::vector<std::string> FileTargets() {
        std::vector<std::string> targets;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            targets.push_back(std::filesystem::read_symlink(entry.path(), error).string());
        }
        return targets;
    }

    // libjack keeps a semaphore open for each client slot it has seen, for as long as one of the
    // process's clients lives; those are its cache, not files a job took.
    static std::size_t OwnFiles() {
        const auto targets = FileTargets();
        return static_cast<std::size_t>(
            std::count_if(targets.begin(), targets.end(),
                          [](const auto& t) { return t.rfind("/dev/shm/jack_sem.", 0) != 0; }));
    }

    static std::size_t Entries(const char* folder) {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder), {}));
    }
};

inline std::ostream& operator<<(std::ostream& out, const ProcessResources& held) {
    return out << held.threads << " threads, " << held.files << " open files";
}
