#include "library/VoiceIndex.h"

#include "library/SqliteDatabase.h"
#include "library/SqliteError.h"

VoiceIndex::VoiceIndex(const std::filesystem::path& file)
    : m_File(file), m_Db(IndexFile::Open(file, m_SetAside)) {}

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
    m_Db.reset();
    m_SetAside.push_back(IndexFile::SetAside(m_File));
    m_Db = IndexFile::Open(m_File, m_SetAside);
    return operation(*m_Db);
}

ScanReport VoiceIndex::Update(const std::vector<std::string>& folders,
                              const ScanControl& control) {
    return Guarded([&](SqliteDatabase& db) { return IndexScanner(db).Update(folders, control); });
}

std::vector<VoiceMatch> VoiceIndex::Find(const VoiceQuery& query) {
    return Guarded([&](SqliteDatabase& db) { return VoiceSearch(db).Find(query); });
}

std::vector<ScanProblem> VoiceIndex::Problems(const std::vector<std::string>& folders) {
    return Guarded([&](SqliteDatabase& db) { return VoiceSearch(db).Problems(folders); });
}
