#pragma once

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "midi/MidiDriver.h"
#include "midi/MidiHandleTable.h"

// Several backends as one driver: their devices follow one another in the order the backends
// were given, so an index names the same device until the devices are listed afresh. Handles are
// the composite's own; input callbacks see them instead of the backend's.
class CompositeDriver : public MidiDriver {
public:
    explicit CompositeDriver(std::vector<std::shared_ptr<MidiDriver>> backends);

    void Refresh() override;

    uint32_t OutCount() override;
    std::string OutName(uint32_t index) override;
    MidiResult OutOpen(uint32_t index, MidiHandle& handle) override;
    MidiResult OutShortMsg(MidiHandle handle, uint32_t packed) override;
    MidiResult OutPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutLongMsg(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult OutClose(MidiHandle handle) override;

    uint32_t InCount() override;
    std::string InName(uint32_t index) override;
    MidiResult InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                      std::uintptr_t instance) override;
    MidiResult InPrepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InAddBuffer(MidiHandle handle, MidiHeader* header) override;
    MidiResult InStart(MidiHandle handle) override;
    MidiResult InStop(MidiHandle handle) override;
    MidiResult InReset(MidiHandle handle) override;
    MidiResult InUnprepare(MidiHandle handle, MidiHeader* header) override;
    MidiResult InClose(MidiHandle handle) override;

private:
    struct Device {
        MidiDriver* backend = nullptr;
        MidiHandle handle = 0;  // the backend's
        InCallback callback = nullptr;
        std::uintptr_t instance = 0;
    };
    struct Slot {
        MidiDriver* backend;
        uint32_t index;  // within the backend
    };
    using CountOf = uint32_t (MidiDriver::*)();

    static void Relay(MidiHandle, uint32_t message, std::uintptr_t instance, std::uintptr_t param1,
                      std::uintptr_t param2);
    std::vector<Slot> ListDevices(CountOf count) const;
    // Calls `step` on the backend device behind `handle`, or answers an invalid handle.
    template <typename Step>
    MidiResult OnDevice(MidiHandle handle, Step&& step);

    std::vector<std::shared_ptr<MidiDriver>> m_Backends;
    // Held while an index is turned into a device, so a refresh never comes between.
    std::mutex m_ListMutex;
    std::vector<Slot> m_Outputs;
    std::vector<Slot> m_Inputs;
    MidiHandleTable<Device> m_Devices;
};
