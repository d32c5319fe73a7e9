#include "midi/CompositeDriver.h"

CompositeDriver::CompositeDriver(std::vector<std::shared_ptr<MidiDriver>> backends)
    : m_Backends(std::move(backends)),
      m_Outputs(ListDevices(&MidiDriver::OutCount)),
      m_Inputs(ListDevices(&MidiDriver::InCount)) {}

void CompositeDriver::Refresh() {
    std::lock_guard lock(m_ListMutex);
    for (const auto& backend : m_Backends) {
        backend->Refresh();
    }
    m_Outputs = ListDevices(&MidiDriver::OutCount);
    m_Inputs = ListDevices(&MidiDriver::InCount);
}

std::vector<CompositeDriver::Slot> CompositeDriver::ListDevices(CountOf count) const {
    std::vector<Slot> slots;
    for (const auto& backend : m_Backends) {
        const uint32_t n = ((*backend).*count)();
        for (uint32_t i = 0; i < n; ++i) {
            slots.push_back({backend.get(), i});
        }
    }
    return slots;
}

template <typename Step>
MidiResult CompositeDriver::OnDevice(MidiHandle handle, Step&& step) {
    Device* device = m_Devices.Find(handle);
    if (device == nullptr) {
        return kMidiInvalidHandle;
    }
    return step(*device->backend, device->handle);
}

void CompositeDriver::Relay(MidiHandle, uint32_t message, std::uintptr_t instance,
                            std::uintptr_t param1, std::uintptr_t param2) {
    const auto* device = reinterpret_cast<const Device*>(instance);
    device->callback(reinterpret_cast<MidiHandle>(device), message, device->instance, param1,
                     param2);
}

uint32_t CompositeDriver::OutCount() {
    std::lock_guard lock(m_ListMutex);
    return static_cast<uint32_t>(m_Outputs.size());
}

std::string CompositeDriver::OutName(uint32_t index) {
    std::lock_guard lock(m_ListMutex);
    return index < m_Outputs.size() ? m_Outputs[index].backend->OutName(m_Outputs[index].index)
                                    : std::string();
}

MidiResult CompositeDriver::OutOpen(uint32_t index, MidiHandle& handle) {
    std::lock_guard lock(m_ListMutex);
    if (index >= m_Outputs.size()) {
        return kMidiBadDeviceId;
    }
    auto device = std::make_unique<Device>();
    device->backend = m_Outputs[index].backend;
    const MidiResult result = device->backend->OutOpen(m_Outputs[index].index, device->handle);
    if (result == kMidiOk) {
        handle = m_Devices.Add(std::move(device));
    }
    return result;
}

MidiResult CompositeDriver::OutShortMsg(MidiHandle handle, uint32_t packed) {
    return OnDevice(handle, [&](MidiDriver& b, MidiHandle h) { return b.OutShortMsg(h, packed); });
}

MidiResult CompositeDriver::OutPrepare(MidiHandle handle, MidiHeader* header) {
    return OnDevice(handle, [&](MidiDriver& b, MidiHandle h) { return b.OutPrepare(h, header); });
}

MidiResult CompositeDriver::OutLongMsg(MidiHandle handle, MidiHeader* header) {
    return OnDevice(handle, [&](MidiDriver& b, MidiHandle h) { return b.OutLongMsg(h, header); });
}

MidiResult CompositeDriver::OutUnprepare(MidiHandle handle, MidiHeader* header) {
    return OnDevice(handle, [&](MidiDriver& b, MidiHandle h) { return b.OutUnprepare(h, header); });
}

MidiResult CompositeDriver::OutClose(MidiHandle handle) {
    const MidiResult result =
        OnDevice(handle, [](MidiDriver& b, MidiHandle h) { return b.OutClose(h); });
    if (result == kMidiOk) {
        m_Devices.Remove(handle);
    }
    return result;
}

uint32_t CompositeDriver::InCount() {
    std::lock_guard lock(m_ListMutex);
    return static_cast<uint32_t>(m_Inputs.size());
}

std::string CompositeDriver::InName(uint32_t index) {
    std::lock_guard lock(m_ListMutex);
    return index < m_Inputs.size() ? m_Inputs[index].backend->InName(m_Inputs[index].index)
                                   : std::string();
}

MidiResult CompositeDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                   std::uintptr_t instance) {
    std::lock_guard lock(m_ListMutex);
    if (index >= m_Inputs.size()) {
        return kMidiBadDeviceId;
    }
    if (callback == nullptr) {
        return kMidiInvalidParam;
    }
    auto device = std::make_unique<Device>(Device{m_Inputs[index].backend, 0, callback, instance});
    Device* record = device.get();
    // Added before the backend opens, so the open notice already carries the composite handle.
    const MidiHandle own = m_Devices.Add(std::move(device));
    const MidiResult result = record->backend->InOpen(m_Inputs[index].index, record->handle, Relay,
                                                      reinterpret_cast<std::uintptr_t>(record));
    if (result != kMidiOk) {
        m_Devices.Remove(own);
        return result;
    }
    handle = own;
    return result;
}

MidiResult CompositeDriver::InPrepare(MidiHandle handle, MidiHeader* header) {
    return OnDevice(handle, [&](MidiDriver& b, MidiHandle h) { return b.InPrepare(h, header); });
}

MidiResult CompositeDriver::InAddBuffer(MidiHandle handle, MidiHeader* header) {
    return OnDevice(handle, [&](MidiDriver& b, MidiHandle h) { return b.InAddBuffer(h, header); });
}

MidiResult CompositeDriver::InStart(MidiHandle handle) {
    return OnDevice(handle, [](MidiDriver& b, MidiHandle h) { return b.InStart(h); });
}

MidiResult CompositeDriver::InStop(MidiHandle handle) {
    return OnDevice(handle, [](MidiDriver& b, MidiHandle h) { return b.InStop(h); });
}

MidiResult CompositeDriver::InReset(MidiHandle handle) {
    return OnDevice(handle, [](MidiDriver& b, MidiHandle h) { return b.InReset(h); });
}

MidiResult CompositeDriver::InUnprepare(MidiHandle handle, MidiHeader* header) {
    return OnDevice(handle, [&](MidiDriver& b, MidiHandle h) { return b.InUnprepare(h, header); });
}

MidiResult CompositeDriver::InClose(MidiHandle handle) {
    const MidiResult result =
        OnDevice(handle, [](MidiDriver& b, MidiHandle h) { return b.InClose(h); });
    if (result == kMidiOk) {
        m_Devices.Remove(handle);
    }
    return result;
}
