#pragma once

#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

// A bank file found on disk. A "*.s1v" that is no regular file carries a problem instead.
struct FoundBank {
    std::string path;
    int64_t size = 0;
    int64_t mtimeNs = 0;
    std::string problem;
};

// A folder that could not be read, or a bank that could not be.
struct ScanProblem {
    std::string path;
    std::string text;
};

// Finds the bank files ("*.s1v", any case) under folders, following symbolic links but entering
// each folder once, so a link loop ends.
class FolderWalk {
public:
    explicit FolderWalk(const std::atomic<bool>* cancel) : m_Cancel(cancel) {}

    // Adds the banks under the folder; false when cancelled.
    bool Walk(const std::string& folder);

    std::vector<FoundBank> m_Banks;
    std::vector<ScanProblem> m_Problems;

    static bool IsBankName(std::string_view name);

private:
    void Visit(const std::string& folder, std::vector<std::string>& pending);
    void AddEntry(const std::string& path, std::string_view name,
                  std::vector<std::string>& pending);

    const std::atomic<bool>* m_Cancel;
    std::set<std::pair<uint64_t, uint64_t>> m_Visited;  // device, inode
};
