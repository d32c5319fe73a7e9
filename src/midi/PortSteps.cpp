#include "midi/PortSteps.h"

#include <cstring>

#include "midi/MidiSystem.h"
#include "midi/PortParams.h"
#include "platform/Sleep.h"
#include "voice/EXException.h"

int GetDeviceName(const DeviceList& list, int32_t deviceIndex, char* dest, uint32_t length) {
    if (!dest) {
        EXException::Raise("Null lpszDeviceName parameter", list.module, __LINE__);
    }
    if (length > 0) {
        dest[0] = '\0';
    }
    MidiDriver& driver = MidiSystem::Driver();
    const auto index = static_cast<uint32_t>(deviceIndex);
    if (index >= (driver.*list.count)()) {
        EXException::Raise(list.invalidText, list.module, __LINE__);
    }
    if (length > 0) {
        std::strncpy(dest, (driver.*list.name)(index).c_str(), length);
        dest[length - 1] = '\0';
    }
    return 0;
}

MidiResult WaitForUnprepare(const PortParams& job, const char* waitingNote,
                            MidiResult (MidiDriver::*unprepare)(MidiHandle, MidiHeader*),
                            MidiHandle handle, MidiHeader* header) {
    MidiDriver& driver = MidiSystem::Driver();
    for (uint32_t attempt = 0;;) {
        const MidiResult result = (driver.*unprepare)(handle, header);
        if (result != kMidiStillPlaying) {
            return result;
        }
        job.Log("%s", attempt == 0 ? waitingNote : ".");
        Sleep(job.m_Delay);
        if (++attempt >= job.m_Tries) {
            return result;
        }
    }
}

bool CloseWithoutJob(MidiHandle outHandle, const std::function<void(PortParams&)>& close) {
    PortParams last;
    last.m_MidiOutHandle = outHandle;
    last.m_Delay = 5;
    last.m_Tries = 4;
    try {
        // With no job record there is no log to report to.
        return EXException::Catch([&] { close(last); }, [](const EXException*) {});
    } catch (...) {
    }
    return false;
}
