#include "JobCommand.h"

#include <cstdio>
#include <cstdlib>
#include <regex>

#include "midi/MidiSystem.h"
#include "platform/FileKind.h"

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

bool JobCommand::ParseNumber(const std::string& option, const std::string& text,
                             uint32_t& value) const {
    if (!IsIndex(text) || text.size() > 9) {
        UsageError(option + " needs a number, not " + text);
        return false;
    }
    value = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

bool JobCommand::ParseOptions(std::vector<std::string>& args, bool withMidiDelay) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option.rfind("--", 0) != 0) {
            positional.push_back(option);
            continue;
        }
        if (i + 1 == args.size()) {
            UsageError(option + " needs a value");
            return false;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (option == "--in") {
            m_InDevice = value;
        } else if (option == "--out") {
            m_OutDevice = value;
        } else if (option == "--device-no") {
            ok = ParseNumber(option, value, m_Settings.deviceNo);
        } else if (option == "--delay") {
            ok = ParseNumber(option, value, m_Settings.sysexDelay);
        } else if (withMidiDelay && option == "--midi-delay") {
            ok = ParseNumber(option, value, m_Settings.midiDelay);
        } else {
            UsageError("unknown option " + option);
            ok = false;
        }
        if (!ok) {
            return false;
        }
    }
    args = positional;
    ResolveDevices();
    return true;
}

void JobCommand::ResolveDevices() {
    MidiDriver& driver = MidiSystem::Driver();
    const std::string in = m_InDevice.empty() ? kVirtualName : m_InDevice;
    const std::string out = m_OutDevice.empty() ? kVirtualName : m_OutDevice;
    m_Settings.midiInDevice =
        FindDevice(in, driver.InCount(), [&](uint32_t i) { return driver.InName(i); });
    m_Settings.midiOutDevice =
        FindDevice(out, driver.OutCount(), [&](uint32_t i) { return driver.OutName(i); });
    // A device that is not there goes to the job as -1, as the dialog's empty selection does,
    // and the job reports it with its own error line.
    if (m_Settings.midiInDevice < 0) {
        std::fprintf(stderr, "%s: no MIDI input device \"%s\"\n", Name(), in.c_str());
    }
    if (m_Settings.midiOutDevice < 0) {
        std::fprintf(stderr, "%s: no MIDI output device \"%s\"\n", Name(), out.c_str());
    }
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

FILE* JobCommand::OpenLog() {
    return FileKind::MayBlockOnOpen(kLogName) ? nullptr : std::fopen(kLogName, "rb");
}

long JobCommand::LogSize() {
    FILE* file = OpenLog();
    if (!file) {
        return 0;
    }
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fclose(file);
    return size < 0 ? 0 : size;
}

std::string JobCommand::ReadLog(long from) {
    std::string text;
    FILE* file = OpenLog();
    if (!file) {
        return text;
    }
    if (std::fseek(file, from, SEEK_SET) == 0) {
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
            text.append(chunk, n);
        }
    }
    std::fclose(file);
    return text;
}

bool JobCommand::ReportErrors(const std::string& log) {
    // An error line may follow the words of earlier steps on the same log line.
    static const std::regex kErrorLine(R"(([A-Za-z]+\.cpp:-?[0-9]+ [^\r\n]*|Unidentified error))");
    bool found = false;
    for (std::sregex_iterator it(log.begin(), log.end(), kErrorLine), end; it != end; ++it) {
        std::fprintf(stderr, "%s\n", it->str().c_str());
        found = true;
    }
    return found;
}
