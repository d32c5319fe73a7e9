#include "IdentifyCommand.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "CallbackSink.h"

namespace {

bool IsRecognised(const std::string& text) {
    return text == "EX5" || text == "EX7" || text == "EX5R";
}

}  // namespace

int IdentifyCommand::Run(const std::vector<std::string>& args) {
    std::vector<std::string> positional = args;
    if (const int status = ParseOptions(positional, false)) {
        return status;
    }
    if (const int status = CheckArguments(positional, {})) {
        return status;
    }
    if (const int status = FindDevices()) {
        return status;
    }
    EXParams record;
    std::string instrument;
    // As the dialog does, the result is read while the job waits for its signal to be handled.
    CallbackSink done([&](const char*) { instrument = record.m_InstrumentText; });
    JobLauncher launcher(record, &done, &done);
    launcher.LaunchIdentify(m_Settings);
    WaitForJob(launcher);
    ReportOutcome(record);
    if (!instrument.empty()) {
        std::printf("%s\n", instrument.c_str());
    }
    if (IsRecognised(instrument) && record.m_DeviceNo != m_Settings.m_DeviceNo) {
        std::fprintf(stderr, "identify: the instrument answers on device number %u\n",
                     record.m_DeviceNo);
    }
    return IsRecognised(instrument) ? 0 : 1;
}
