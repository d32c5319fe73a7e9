#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Answers queries from the index alone, sorted by path (bytes) and then slot.
class VoiceSearch {
public:
    explicit VoiceSearch(SqliteDatabase& db) : m_Db(db) {}

    std::vector<VoiceMatch> Find(const VoiceQuery& query);

    // The banks under the folders that could not be read, by path.
    std::vector<ScanProblem> Problems(const std::vector<std::string>& folders);

private:
    std::vector<VoiceMatch> FindByName(const VoiceQuery& query);
    std::vector<VoiceMatch> FindSameAs(const VoiceQuery& query);

    SqliteDatabase& m_Db;
};
