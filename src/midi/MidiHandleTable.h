#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "midi/MidiDriver.h"

// The open devices of one driver, keyed by handle. A handle is the address of its record, so it
// is never 0 and a stale or made-up handle is simply not found.
template <typename Record>
class MidiHandleTable {
public:
    MidiHandle Add(std::unique_ptr<Record> record) {
        std::lock_guard lock(m_Mutex);
        const auto handle = reinterpret_cast<MidiHandle>(record.get());
        m_Records.emplace(handle, std::move(record));
        return handle;
    }

    Record* Find(MidiHandle handle) const {
        std::lock_guard lock(m_Mutex);
        const auto it = m_Records.find(handle);
        return it == m_Records.end() ? nullptr : it->second.get();
    }

    std::unique_ptr<Record> Remove(MidiHandle handle) {
        std::lock_guard lock(m_Mutex);
        const auto it = m_Records.find(handle);
        if (it == m_Records.end()) {
            return nullptr;
        }
        auto record = std::move(it->second);
        m_Records.erase(it);
        return record;
    }

    // Runs f on every record with the table locked, so none is removed meanwhile.
    template <typename F>
    void ForEach(F&& f) const {
        std::lock_guard lock(m_Mutex);
        for (const auto& [handle, record] : m_Records) {
            f(*record);
        }
    }

private:
    mutable std::mutex m_Mutex;
    std::map<MidiHandle, std::unique_ptr<Record>> m_Records;
};
