#include "PortsCommand.h"

#include <cstdio>

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
        std::printf("%s\t%u\t%s\n", direction, i, text);
    }
}

}  // namespace

int PortsCommand::Run(const std::vector<std::string>& args) {
    if (!args.empty()) {
        return UsageError("ports takes no arguments");
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
