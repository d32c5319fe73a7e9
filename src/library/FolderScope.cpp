#include "library/FolderScope.h"

#include <filesystem>

FolderScope::FolderScope(const std::string& folder) {
    m_Folder = std::filesystem::absolute(folder.empty() ? "." : folder).lexically_normal().string();
    while (m_Folder.size() > 1 && m_Folder.back() == '/') {
        m_Folder.pop_back();
    }
    m_Low = m_Folder == "/" ? m_Folder : m_Folder + '/';
    // '0' follows '/': the first path that is no longer under the folder.
    m_High = m_Low;
    m_High.back() = '0';
}

bool FolderScope::Contains(const std::string& path) const {
    return path >= m_Low && path < m_High;
}
