#include "midi/MidiSystem.h"

#include <mutex>

#include "midi/NoMidiDriver.h"

namespace {

std::mutex& InstallLock() {
    static std::mutex lock;
    return lock;
}

std::shared_ptr<MidiDriver>& Installed() {
    static std::shared_ptr<MidiDriver> driver = std::make_shared<NoMidiDriver>();
    return driver;
}

}  // namespace

MidiDriver& MidiSystem::Driver() {
    std::lock_guard guard(InstallLock());
    return *Installed();
}

void MidiSystem::Install(std::shared_ptr<MidiDriver> driver) {
    std::lock_guard guard(InstallLock());
    Installed() = driver ? std::move(driver) : std::make_shared<NoMidiDriver>();
}
