#include "platform/Settings.h"

#include "platform/HomeFolder.h"
#include "platform/SettingsStore.h"

namespace {

SettingsStore MachineStore() {
    SettingsStore store;
    store.SelectRoot(RegistryRoot::LocalMachine);
    return store;
}

}  // namespace

Settings Settings::Defaults() {
    return {DefaultFolder(), 1, 1, 25, 500, 1, 0};
}

std::string Settings::DefaultFolder() {
#ifdef _WIN32
    return "C:\\";
#else
    std::string folder = HomeFolder();
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    return folder;
#endif
}

void Settings::Load(Settings& settings) {
    SettingsStore store = MachineStore();
    if (!store.OpenKey(kKeyPath, false)) {
        if (store.OpenKey(kKeyPath, true)) {
            store.PutString("Path", DefaultFolder());
        }
        return;
    }
    const Settings defaults = Defaults();
    settings.m_CurrentFolder = store.GetString("Path", defaults.m_CurrentFolder);
    settings.m_MidiIn =
        static_cast<int32_t>(store.GetNumber("midiin", static_cast<uint32_t>(defaults.m_MidiIn)));
    settings.m_MidiOut =
        static_cast<int32_t>(store.GetNumber("midiout", static_cast<uint32_t>(defaults.m_MidiOut)));
    settings.m_SysexDelay = store.GetNumber("delay", defaults.m_SysexDelay);
    settings.m_MidiDelay = store.GetNumber("mididelay", defaults.m_MidiDelay);
    settings.m_DeviceNo = store.GetNumber("deviceno", defaults.m_DeviceNo);
    settings.m_KeepOnTop = store.GetFlag("keepontop", defaults.m_KeepOnTop);
}

void Settings::Save(const Settings& settings) {
    SettingsStore store = MachineStore();
    if (!store.OpenKey(kKeyPath, true)) {
        return;
    }
    store.PutString("Path", settings.m_CurrentFolder);
    store.PutNumber("midiin", static_cast<uint32_t>(settings.m_MidiIn));
    store.PutNumber("midiout", static_cast<uint32_t>(settings.m_MidiOut));
    store.PutNumber("deviceno", settings.m_DeviceNo);
    store.PutNumber("delay", settings.m_SysexDelay);
    store.PutNumber("mididelay", settings.m_MidiDelay);
    store.PutFlag("keepontop", settings.m_KeepOnTop);
}
