#include "PortsCommand.h"

#include <cstdio>

#include "TerminalText.h"
#include "conversation/EXParams.h"
#include "midi/MidiInWin.h"
#include "midi/MidiOutWin.h"
#include "midi/MidiSystem.h"
#include "voice/EXException.h"

namespace {

void List(const char* direction, uint32_t count, int (*name)(int32_t, char*, uint32_t)) {
    char text[EXParams::kTextSize];
    for (uint32_t i = 0; i < count; ++i) {
        name(static_cast<int32_t>(i), text, sizeof text);
        std::printf("%s\t%u\t%s\n", direction, i, TerminalText::Utf8(text).c_str());
    }
}

}  // namespace

int PortsCommand::Run(const std::vector<std::string>& args) {
    if (const int status = CheckArguments(args, {})) {
        return status;
    }
    MidiDriver& driver = MidiSystem::Driver();
    const bool listed = EXException::Catch(
        [&] {
            List("in", driver.InCount(), &MidiInWin::GetDeviceName);
            List("out", driver.OutCount(), &MidiOutWin::GetDeviceName);
        },
        ReportError);
    return listed ? 0 : 1;
}
