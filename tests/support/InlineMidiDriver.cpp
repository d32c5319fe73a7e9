#include "support/InlineMidiDriver.h"

#include <memory>

#include "midi/MidiSystem.h"

namespace {

std::string NameAt(const std::vector<std::string>& names, uint32_t index) {
    return index < names.size() ? names[index] : std::string();
}

}  // namespace

InlineMidiDriver::InlineMidiDriver(std::vector<std::string> inNames,
                                   std::vector<std::string> outNames)
    : m_InNames(std::move(inNames)), m_OutNames(std::move(outNames)) {}

InlineMidiDriver& InlineMidiDriver::Installed() {
    static const auto driver = [] {
        auto installed = std::make_shared<InlineMidiDriver>();
        MidiSystem::Install(installed);
        return installed;
    }();
    return *driver;
}

void InlineMidiDriver::Feed(const uint8_t* data, std::size_t length) {
    m_Inputs.ForEach([&](MidiInputTable::Input& input) { input.queue.DeliverLong(data, length); });
}

void InlineMidiDriver::FeedShort(uint32_t packed) {
    m_Inputs.ForEach([&](MidiInputTable::Input& input) { input.queue.DeliverShort(packed); });
}

uint32_t InlineMidiDriver::OutCount() {
    return static_cast<uint32_t>(m_OutNames.size());
}

std::string InlineMidiDriver::OutName(uint32_t index) {
    return NameAt(m_OutNames, index);
}

MidiResult InlineMidiDriver::OutOpen(uint32_t index, MidiHandle& handle) {
    if (index >= m_OutNames.size()) {
        return kMidiBadDeviceId;
    }
    handle = m_Outputs.Open(std::make_unique<MidiOutputTable::Output>());
    return kMidiOk;
}

MidiResult InlineMidiDriver::OutShortMsg(MidiHandle handle, uint32_t) {
    return m_Outputs.Find(handle) ? kMidiOk : kMidiInvalidHandle;
}

// The message has left at once, and the answer has arrived, before the call returns.
MidiResult InlineMidiDriver::OutLongMsg(MidiHandle handle, MidiHeader* header) {
    MidiOutputTable::Output* output = m_Outputs.Find(handle);
    if (output == nullptr) {
        return kMidiInvalidHandle;
    }
    const MidiResult result = output->queue.Accept(header, MidiOutQueue::Clock::now());
    if (result == kMidiOk) {
        Feed(m_Answer.data(), m_Answer.size());
    }
    return result;
}

uint32_t InlineMidiDriver::InCount() {
    return static_cast<uint32_t>(m_InNames.size());
}

std::string InlineMidiDriver::InName(uint32_t index) {
    return NameAt(m_InNames, index);
}

MidiResult InlineMidiDriver::InOpen(uint32_t index, MidiHandle& handle, InCallback callback,
                                    std::uintptr_t instance) {
    if (index >= m_InNames.size()) {
        return kMidiBadDeviceId;
    }
    handle = m_Inputs.Open(std::make_unique<MidiInputTable::Input>(callback, instance));
    return kMidiOk;
}
