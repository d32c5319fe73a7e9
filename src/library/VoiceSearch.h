#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/BankColumns.h"
#include "library/FolderWalk.h"

class SqliteDatabase;

struct VoiceQuery {
    std::string text;  // found in the name, ASCII letters in either case; empty: every voice
    std::vector<std::string> folders;
    std::string category;  // a code as shown ("xx" for "--"); empty: every code
    bool showInits = false;
    std::optional<uint64_t> sameAs;  // a fingerprint: only voices with that data
};

// A voice found: a voice-list row with its bank's path in front.
struct VoiceMatch {
    std::string path;
    int slot = 0;
    std::string code;
    std::string name;

    bool operator==(const VoiceMatch&) const = default;
};

// Answers queries from the index alone, sorted by path (bytes) and then slot. The readable banks'
// columns are held in memory from one query to the next, as long as no program (this one
// included, see Forget) has changed the file since: a window searching as the user types reads
// the file once.
class VoiceSearch {
public:
    explicit VoiceSearch(SqliteDatabase& db) : m_Db(db) {}

    std::vector<VoiceMatch> Find(const VoiceQuery& query);
    // The banks under the folders that could not be read, by path.
    std::vector<ScanProblem> Problems(const std::vector<std::string>& folders);
    // This connection wrote to the file: what is held is out of date.
    void Forget() { m_Version.reset(); }

private:
    struct Bank {
        std::string path;
        std::string bytes;  // the four columns one after another
        BankColumns Columns() const;
    };

    void Refresh();

    SqliteDatabase& m_Db;
    std::vector<Bank> m_Banks;  // by path
    std::optional<long long> m_Version;
};
