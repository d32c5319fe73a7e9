#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "library/IndexFile.h"
#include "library/IndexScanner.h"
#include "library/VoiceSearch.h"

class SqliteDatabase;

// The voice library: every voice of the bank files under the folders searched, kept in an
// SQLite file so that a search needs no bank read again. A file found damaged, on opening or
// later, is set aside and the index rebuilt; the operation that found it then runs again.
// One object per thread; any number of programs may use the same file at once.
class VoiceIndex {
public:
    explicit VoiceIndex(const std::filesystem::path& file = IndexFile::DefaultPath());
    ~VoiceIndex();

    ScanReport Update(const std::vector<std::string>& folders, const ScanControl& control = {});
    std::vector<VoiceMatch> Find(const VoiceQuery& query);
    std::vector<ScanProblem> Problems(const std::vector<std::string>& folders);

    // The names damaged files were given, in this object's life.
    const std::vector<std::string>& SetAside() const { return m_SetAside; }

private:
    template <class Operation>
    auto Guarded(Operation operation);
    void Reopen();

    std::filesystem::path m_File;
    std::vector<std::string> m_SetAside;
    std::unique_ptr<SqliteDatabase> m_Db;
    std::unique_ptr<VoiceSearch> m_Search;
};
