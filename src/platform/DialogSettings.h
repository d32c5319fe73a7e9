#pragma once

#include <cstdint>
#include <string>

// The seven settings the main dialog keeps between runs, as the dialog holds them. The
// defaults are the dialog's own state before the settings are read.
struct DialogSettings {
    static constexpr char kKeyPath[] = "Software\\Sonavist\\Settings";

    std::string m_CurrentFolder;  // "Path"
    int32_t m_MidiIn = -1;        // "midiin": the MIDI In list's selection, -1 for none
    int32_t m_MidiOut = -1;       // "midiout"
    uint32_t m_SysexDelay = 0;    // "delay", milliseconds
    uint32_t m_MidiDelay = 0;     // "mididelay", milliseconds
    uint32_t m_DeviceNo = 1;      // "deviceno"
    uint32_t m_KeepOnTop = 0;     // "keepontop": the check state of "On top?"

    bool operator==(const DialogSettings&) const = default;
};

// The folder a first run starts from: "C:\" on Windows, elsewhere the user's home folder
// with a trailing separator, as every folder text of the dialog has one.
std::string DefaultFolder();

// Reads the settings from the machine-wide key into settings. When the key does not exist
// it is created holding only "Path" = DefaultFolder() and settings is left untouched, as on
// any first run. A selection read may lie outside the port list; the dialog then selects
// nothing. Never fails aloud.
void LoadSettings(DialogSettings& settings);

// Writes all seven settings; values that cannot be written keep their stored value, and a
// folder of more than 254 characters is not saved. Never fails aloud.
void SaveSettings(const DialogSettings& settings);
