#include "midi/MidiSystem.h"
#include "midi/backends/MidiBackends.h"
#include "ui/CSonavistApp.h"

int main(int argc, char** argv) {
    MidiSystem::Install(MidiBackends::CreateDefault());
    CSonavistApp app(argc, argv);
    app.InitInstance();
    return 0;
}
