#include "midi/SysexMessage.h"

#include <algorithm>
#include <cstring>
#include <new>

SysexMessage::SysexMessage() {
    EnsureCapacity(kDefaultCapacity);
    Clear();
}

SysexMessage::~SysexMessage() {
    delete[] m_Data;
    m_Data = nullptr;
}

int32_t SysexMessage::EnsureCapacity(int32_t size) {
    if (size <= m_Capacity) {
        return m_Capacity;
    }
    // A failed allocation keeps the old block, so the owner sees the capacity it did not get.
    auto* block = new (std::nothrow) uint8_t[static_cast<size_t>(size)];
    if (!block) {
        return m_Capacity;
    }
    delete[] m_Data;
    m_Data = block;
    m_Capacity = size;
    Clear();
    return m_Capacity;
}

void SysexMessage::Clear() {
    if (m_Data) {
        std::memset(m_Data, 0, static_cast<size_t>(m_Capacity));
    }
    m_Header.data = m_Data;
    m_Header.bufferLength = static_cast<uint32_t>(m_Capacity);
    m_Header.bytesRecorded.store(0);
    m_Header.flags.store(0);
}

int32_t SysexMessage::SetData(const uint8_t* data, int32_t length) {
    if (length < 0 || length > m_Capacity || (length > 0 && !data)) {
        return -1;
    }
    if (m_Data) {
        std::memset(m_Data, 0, static_cast<size_t>(m_Capacity));
        std::memcpy(m_Data, data, static_cast<size_t>(length));
    }
    m_Header.bufferLength = static_cast<uint32_t>(length);
    return 0;
}

int32_t SysexMessage::CopyReceived(uint8_t* dest, int32_t maxLength) const {
    // The done flag is read first: it publishes the bytes and the count the driver wrote.
    if (!dest || !(m_Header.flags.load() & MidiHeader::kDone)) {
        return 0;
    }
    // A driver's count is outside input: never trust it beyond the block.
    const int64_t recorded = std::min<int64_t>(m_Header.bytesRecorded.load(), m_Capacity);
    const auto count = static_cast<int32_t>(std::min<int64_t>(recorded, maxLength));
    if (count <= 0) {
        return 0;
    }
    std::memcpy(dest, m_Data, static_cast<size_t>(count));
    return count;
}
