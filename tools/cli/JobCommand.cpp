#include "JobCommand.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

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
    bool found = false;
    for (size_t at = 0; at < log.size();) {
        size_t end = log.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            end = log.size();
        }
        const std::string_view error = ErrorLineIn(std::string_view(log).substr(at, end - at));
        if (!error.empty()) {
            std::fprintf(stderr, "%.*s\n", static_cast<int>(error.size()), error.data());
            found = true;
        }
        at = end + 1;
    }
    return found;
}

std::string_view JobCommand::ErrorLineIn(std::string_view line) {
    // An error line ("Module.cpp:LINE message") may follow the words of earlier steps.
    static constexpr std::string_view kUnidentified = "Unidentified error";
    if (const size_t at = line.find(kUnidentified); at != std::string_view::npos) {
        return line.substr(at);
    }
    for (size_t dot = line.find(".cpp:"); dot != std::string_view::npos;
         dot = line.find(".cpp:", dot + 1)) {
        size_t start = dot;
        while (start > 0 && std::isalpha(static_cast<unsigned char>(line[start - 1]))) {
            --start;
        }
        size_t digit = dot + 5;
        if (digit < line.size() && line[digit] == '-') {
            ++digit;
        }
        size_t after = digit;
        while (after < line.size() && std::isdigit(static_cast<unsigned char>(line[after]))) {
            ++after;
        }
        if (start < dot && after > digit && after < line.size() && line[after] == ' ') {
            return line.substr(start);
        }
    }
    return {};
}
