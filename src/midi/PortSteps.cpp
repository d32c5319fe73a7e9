#include "midi/PortSteps.h"

#include <algorithm>
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

namespace {

// Sleeps until the time point; at least one millisecond, so that the cable's end has passed.
void SleepUntil(std::chrono::steady_clock::time_point end) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    Sleep(static_cast<uint32_t>(std::max<int64_t>(left.count(), 1)));
}

}  // namespace

MidiResult WaitForUnprepare(const PortParams& job, const char* waitingNote,
                            MidiResult (MidiDriver::*unprepare)(MidiHandle, MidiHeader*),
                            MidiHandle handle, MidiHeader* header,
                            std::chrono::steady_clock::time_point leavesBy) {
    MidiDriver& driver = MidiSystem::Driver();
    uint32_t delay = job.m_Delay;
    bool cableWaited = false;
    for (uint32_t attempt = 0, polls = 0;; ++polls) {
        const MidiResult result = (driver.*unprepare)(handle, header);
        if (result != kMidiStillPlaying) {
            return result;
        }
        job.Log("%s", polls == 0 ? waitingNote : ".");
        Sleep(delay);
        if (++attempt < job.m_Tries) {
            continue;
        }
        // Short delays would give up on a message whose bytes are still on the cable.
        if (cableWaited || std::chrono::steady_clock::now() >= leavesBy) {
            return result;
        }
        SleepUntil(leavesBy);
        cableWaited = true;
        attempt = 0;
        delay = std::max(delay, kLeavingPollMs);
    }
}

bool CloseWithoutJob(const std::function<void(PortParams&)>& close) {
    PortParams last;
    last.m_Delay = 5;
    last.m_Tries = 4;
    try {
        // With no job record there is no log to report to.
        return EXException::Catch([&] { close(last); }, [](const EXException*) {});
    } catch (...) {
    }
    return false;
}
