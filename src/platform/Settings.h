#pragma once

#include <cstdint>
#include <string>

// The seven settings kept between runs, with every default in one place. A new value holds the
// dialog's state before the settings are read, which a first run keeps; Defaults() holds what a
// stored key lacking a value reads as, which is also where the command-line tool starts.
struct Settings {
    static constexpr char kKeyPath[] = "Software\\Sonavist\\Settings";
    // Bounds a job accepts: a device number is a 7-bit data byte of the System Exclusive
    // messages, and a longer delay would hold the job (and "Quit") for hours.
    static constexpr uint32_t kMaxDeviceNo = 127;
    static constexpr uint32_t kMaxDelayMs = 60000;

    std::string m_CurrentFolder;  // "Path"
    int32_t m_MidiIn = -1;        // "midiin": the MIDI In list's selection, -1 for none
    int32_t m_MidiOut = -1;       // "midiout"
    uint32_t m_SysexDelay = 0;    // "delay", milliseconds
    uint32_t m_MidiDelay = 0;     // "mididelay", milliseconds
    uint32_t m_DeviceNo = 1;      // "deviceno"
    uint32_t m_KeepOnTop = 0;     // "keepontop": the check state of "On top?"

    bool operator==(const Settings&) const = default;

    static Settings Defaults();

    // The folder a first run starts from: "C:\" on Windows, elsewhere the user's home folder
    // with a trailing separator, as every folder text of the dialog has one.
    static std::string DefaultFolder();

    // Reads the settings from the machine-wide key into settings. When the key does not exist
    // it is created holding only "Path" = DefaultFolder() and settings is left untouched, as on
    // any first run. A selection read may lie outside the port list; the dialog then selects
    // nothing. Never fails aloud.
    static void Load(Settings& settings);

    // Writes all seven settings; values that cannot be written keep their stored value, and a
    // folder of more than 254 characters is not saved. Never fails aloud.
    static void Save(const Settings& settings);
};
