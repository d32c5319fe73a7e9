#include "library/VoiceIndex.h"

#include "library/SqliteDatabase.h"
#include "library/SqliteError.h"

VoiceIndex::VoiceIndex(const std::filesystem::path& file) : m_File(file) {
    Reopen();
}

void VoiceIndex::Reopen() {
    m_Db = IndexFile::Open(m_File, m_SetAside);
    m_Search = std::make_unique<VoiceSearch>(*m_Db);
}

VoiceIndex::~VoiceIndex() = default;

template <class Operation>
auto VoiceIndex::Guarded(Operation operation) {
    try {
        return operation(*m_Db);
    } catch (const SqliteError& error) {
        if (!error.IsDamagedFile()) {
            throw;
        }
    }
    m_Search.reset();
    m_Db.reset();
    m_SetAside.push_back(IndexFile::SetAside(m_File));
    Reopen();
    return operation(*m_Db);
}

ScanReport VoiceIndex::Update(const std::vector<std::string>& folders, const ScanControl& control) {
    return Guarded([&](SqliteDatabase& db) {
        const ScanReport report = IndexScanner(db).Update(folders, control);
        m_Search->Forget();
        return report;
    });
}

std::vector<VoiceMatch> VoiceIndex::Find(const VoiceQuery& query) {
    return Guarded([&](SqliteDatabase&) { return m_Search->Find(query); });
}

std::vector<ScanProblem> VoiceIndex::Problems(const std::vector<std::string>& folders) {
    return Guarded([&](SqliteDatabase&) { return m_Search->Problems(folders); });
}
