#pragma once

#include <cstddef>
#include <filesystem>
#include <iterator>
#include <ostream>

// What the process holds that a finished job must give back: its threads and open files.
struct ProcessResources {
    std::size_t threads = 0;
    std::size_t files = 0;

    static ProcessResources Now() { return {Entries("/proc/self/task"), Entries("/proc/self/fd")}; }
    // Holds no more of either than `limit`. (Fewer is fine: a JACK client lets go of the shared
    // memory of a peer that went away.)
    bool Within(const ProcessResources& limit) const {
        return threads <= limit.threads && files <= limit.files;
    }

private:
    static std::size_t Entries(const char* folder) {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder), {}));
    }
};

inline std::ostream& operator<<(std::ostream& out, const ProcessResources& held) {
    return out << held.threads << " threads, " << held.files << " open files";
}
