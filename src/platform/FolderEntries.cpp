#include "platform/FolderEntries.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

std::vector<FolderEntries::Entry> FolderEntries::List(const std::string& folder) {
    std::vector<Entry> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) {
        return entries;
    }
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        struct stat status {};
        if (name.empty() || name.front() == '.' || stat((prefix + name).c_str(), &status) != 0) {
            continue;
        }
        if (S_ISDIR(status.st_mode) || S_ISREG(status.st_mode)) {
            entries.push_back({name, S_ISDIR(status.st_mode)});
        }
    }
    return entries;
}
