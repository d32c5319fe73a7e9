#include "platform/DialogSettings.h"

#include "platform/HomeFolder.h"
#include "platform/SettingsStore.h"

namespace {

SettingsStore MachineStore() {
    SettingsStore store;
    store.SelectRoot(RegistryRoot::LocalMachine);
    return store;
}

}  // namespace

std::string DefaultFolder() {
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

void LoadSettings(DialogSettings& settings) {
    SettingsStore store = MachineStore();
    if (!store.OpenKey(DialogSettings::kKeyPath, false)) {
        if (store.OpenKey(DialogSettings::kKeyPath, true)) {
            store.PutString("Path", DefaultFolder());
        }
        return;
    }
    settings.m_CurrentFolder = store.GetString("Path", DefaultFolder());
    settings.m_MidiIn = static_cast<int32_t>(store.GetNumber("midiin", 1));
    settings.m_MidiOut = static_cast<int32_t>(store.GetNumber("midiout", 1));
    settings.m_SysexDelay = store.GetNumber("delay", 25);
    settings.m_MidiDelay = store.GetNumber("mididelay", 500);
    settings.m_DeviceNo = store.GetNumber("deviceno", 1);
    settings.m_KeepOnTop = store.GetFlag("keepontop", 0);
}

void SaveSettings(const DialogSettings& settings) {
    SettingsStore store = MachineStore();
    if (!store.OpenKey(DialogSettings::kKeyPath, true)) {
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
