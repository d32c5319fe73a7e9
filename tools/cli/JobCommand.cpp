#include "JobCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "TerminalText.h"
#include "midi/MidiSystem.h"

namespace {

constexpr const char* kVirtualName = "Sonavist Virtual EX5";
constexpr uint32_t kProgressStepMs = 1000;
// Waits shorter than this pass without a word.
constexpr uint32_t kQuietMs = 2000;

bool IsIndex(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A device index, or the first device whose name contains the text; -1 when none fits.
template <typename NameOf>
int32_t FindDevice(const std::string& text, uint32_t count, NameOf nameOf) {
    if (IsIndex(text)) {
        unsigned long index = std::strtoul(text.c_str(), nullptr, 10);
        return index < count ? static_cast<int32_t>(index) : -1;
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (nameOf(i).find(text) != std::string::npos) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

}  // namespace

bool JobCommand::ParseNumber(const std::string& option, const std::string& text, uint32_t maximum,
                             const char* unit, uint32_t& value) const {
    if (!IsIndex(text)) {
        UsageError(option + " needs a number, not " + text);
        return false;
    }
    const size_t digits = text.size() - std::min(text.find_first_not_of('0'), text.size());
    const unsigned long number =
        digits > 9 ? maximum + 1ul : std::strtoul(text.c_str(), nullptr, 10);
    if (number > maximum) {
        UsageError(option + " must be 0 to " + std::to_string(maximum) + unit + ", not " + text);
        return false;
    }
    value = static_cast<uint32_t>(number);
    return true;
}

bool JobCommand::ParseOption(const std::string& option, const std::string& value) {
    if (option == "--in") {
        m_InDevice = value;
        return true;
    }
    if (option == "--out") {
        m_OutDevice = value;
        return true;
    }
    if (option == "--device-no") {
        return ParseNumber(option, value, Settings::kMaxDeviceNo, "", m_Settings.m_DeviceNo);
    }
    if (option == "--delay") {
        return ParseNumber(option, value, Settings::kMaxDelayMs, " ms", m_Settings.m_SysexDelay);
    }
    return ParseNumber(option, value, Settings::kMaxDelayMs, " ms", m_Settings.m_MidiDelay);
}

bool JobCommand::IsOption(const std::string& option, bool withMidiDelay) {
    return option == "--in" || option == "--out" || option == "--device-no" ||
           option == "--delay" || (withMidiDelay && option == "--midi-delay");
}

int JobCommand::ParseOptions(std::vector<std::string>& args, bool withMidiDelay) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (!option.starts_with("-")) {
            positional.push_back(option);
        } else if (!IsOption(option, withMidiDelay)) {
            return UsageError("unknown option " + option);
        } else if (i + 1 == args.size()) {
            return UsageError(option + " needs a value");
        } else if (!ParseOption(option, args[++i])) {
            return 2;
        }
    }
    args = positional;
    return 0;
}

int JobCommand::FindDevices() {
    MidiDriver& driver = MidiSystem::Driver();
    m_Settings.m_MidiIn =
        FindDevice(m_InDevice.empty() ? kVirtualName : m_InDevice, driver.InCount(),
                   [&](uint32_t i) { return driver.InName(i); });
    m_Settings.m_MidiOut =
        FindDevice(m_OutDevice.empty() ? kVirtualName : m_OutDevice, driver.OutCount(),
                   [&](uint32_t i) { return driver.OutName(i); });
    // Refused before the job starts, whose own error would not say which device was meant.
    for (const auto& [index, text, direction] :
         {std::tuple{m_Settings.m_MidiIn, m_InDevice, "input"},
          std::tuple{m_Settings.m_MidiOut, m_OutDevice, "output"}}) {
        if (index < 0) {
            const std::string named = IsIndex(text) ? text : "\"" + TerminalText::Utf8(text) + "\"";
            std::fprintf(stderr, "%s: no MIDI %s device %s; `sonavist-cli ports` lists them\n",
                         Name(), direction, named.c_str());
            return 1;
        }
    }
    return 0;
}

void JobCommand::WaitForJob(JobLauncher& launcher) const {
    uint32_t waited = 0;
    while (!launcher.WaitFor(kProgressStepMs)) {
        waited += kProgressStepMs;
        if (waited >= kQuietMs) {
            std::fprintf(stderr, "%s: waiting for the instrument, %u s\n", Name(), waited / 1000);
        }
    }
}

bool JobCommand::ReportOutcome(const EXParams& record) const {
    if (record.m_LogError != 0) {
        std::fprintf(stderr, "%s: warning: cannot write %s: %s\n", Name(), kLogName,
                     std::strerror(record.m_LogError));
    }
    if (record.m_ErrorLine[0] == '\0') {
        return false;
    }
    std::fprintf(stderr, "%s\n", record.m_ErrorLine);
    return true;
}
