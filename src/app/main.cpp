#include "CSonavistApp.h"
#include "midi/MidiBackends.h"
#include "midi/MidiSystem.h"

int main(int argc, char** argv) {
    MidiSystem::Install(MidiBackends::CreateDefault());
    CSonavistApp app(argc, argv);
    app.InitInstance();
    return 0;
}
