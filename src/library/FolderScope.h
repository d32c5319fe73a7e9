#pragma once

#include <string>
#include <utility>

// The banks of the index that lie under one folder: paths compared as bytes.
class FolderScope {
public:
    // The folder as an absolute path without "." and ".." steps or a trailing slash.
    explicit FolderScope(const std::string& folder);

    const std::string& Folder() const { return m_Folder; }
    // Every path under the folder is >= Low() and < High().
    const std::string& Low() const { return m_Low; }
    const std::string& High() const { return m_High; }
    bool Contains(const std::string& path) const;

private:
    std::string m_Folder;
    std::string m_Low;
    std::string m_High;
};
