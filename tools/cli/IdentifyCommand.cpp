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
    if (!ParseOptions(positional, false)) {
        return 2;
    }
    if (!positional.empty()) {
        return UsageError("unexpected argument " + positional[0]);
    }
    EXParams record;
    std::string instrument;
    // As the dialog does, the result is read while the job waits for its signal to be handled.
    CallbackSink done([&](const char*) { instrument = record.m_InstrumentText; });
    CallbackSink status([](const char* text) { std::fputs(text, stderr); });
    JobLauncher launcher(record, &done, &done, &status);
    launcher.LaunchIdentify(m_Settings);
    WaitForJob(launcher);
    ReportErrors(ReadLog(0));
    if (!instrument.empty()) {
        std::printf("%s\n", instrument.c_str());
    }
    if (IsRecognised(instrument) && record.m_DeviceNo != m_Settings.deviceNo) {
        std::fprintf(stderr, "identify: the instrument answers on device number %u\n",
                     record.m_DeviceNo);
    }
    return IsRecognised(instrument) ? 0 : 1;
}
