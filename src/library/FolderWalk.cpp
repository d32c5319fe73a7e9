#include "library/FolderWalk.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

std::string Child(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path.append(name);
}

}  // namespace

bool FolderWalk::IsBankName(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    const std::string_view ext = name.substr(name.size() - 4);
    return ext[0] == '.' && (ext[1] | 0x20) == 's' && ext[2] == '1' && (ext[3] | 0x20) == 'v';
}

bool FolderWalk::Walk(const std::string& folder) {
    std::vector<std::string> pending;
    AddEntry(folder, {}, pending);
    while (!pending.empty()) {
        if (m_Cancel && m_Cancel->load()) {
            return false;
        }
        const std::string next = std::move(pending.back());
        pending.pop_back();
        Visit(next, pending);
    }
    return true;
}

void FolderWalk::Visit(const std::string& folder, std::vector<std::string>& pending) {
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        m_Problems.push_back({folder, std::string("Cannot open folder: ") + std::strerror(errno)});
        return;
    }
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        // Most entries are plain files of other kinds: no need to look closer.
        if (entry->d_type == DT_REG && !IsBankName(name)) {
            continue;
        }
        AddEntry(Child(folder, name), name, pending);
    }
}

// An empty name stands for a folder named by the caller, which must be a folder.
void FolderWalk::AddEntry(const std::string& path, std::string_view name,
                          std::vector<std::string>& pending) {
    struct stat info {};
    const bool found = stat(path.c_str(), &info) == 0;
    if (found && S_ISDIR(info.st_mode)) {
        if (m_Visited.emplace(info.st_dev, info.st_ino).second) {
            pending.push_back(path);
        }
        return;
    }
    if (name.empty()) {
        m_Problems.push_back(
            {path, std::string("Cannot open folder: ") + std::strerror(found ? ENOTDIR : errno)});
        return;
    }
    if (!IsBankName(name)) {
        return;
    }
    if (!found || !S_ISREG(info.st_mode)) {
        m_Banks.push_back({path, 0, 0, "Not a regular file"});
        return;
    }
    m_Banks.push_back(
        {path,
         static_cast<int64_t>(info.st_size),
         static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
         {}});
}
