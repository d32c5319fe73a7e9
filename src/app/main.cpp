#include <cstdio>
#include <cstring>

#include "midi/MidiSystem.h"
#include "midi/backends/MidiBackends.h"
#include "platform/StandardOutput.h"
#include "platform/VersionResource.h"
#include "ui/CSonavistApp.h"

namespace {

constexpr const char* kUsage =
    "usage: sonavist [--help | --version]\n"
    "Opens the Sonavist window: browse folders for EX5/EX5R/EX7 voice banks (*.s1v), send a\n"
    "voice to the instrument, identify it and audition the voice. Each job appends to\n"
    "Sonavist.log in the current directory; the settings live in\n"
    "$XDG_CONFIG_HOME/Sonavist/HKEY_LOCAL_MACHINE.reg. Other options go to Qt.\n";

// Answers --help and --version before any window exists, so they work without a display.
bool AnswersAlone(int argc, char** argv, int& status) {
    if (argc != 2) {
        return false;
    }
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
    } else if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("sonavist %s\n", VersionResource::Text().c_str());
    } else {
        return false;
    }
    status = StandardOutput::Checked(0, "sonavist");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (int status = 0; AnswersAlone(argc, argv, status)) {
        return status;
    }
    MidiSystem::Install(MidiBackends::CreateDefault());
    CSonavistApp app(argc, argv);
    app.InitInstance();
    return 0;
}
