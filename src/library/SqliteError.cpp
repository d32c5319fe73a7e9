#include "library/SqliteError.h"

#include <sqlite3.h>

bool SqliteError::IsDamagedFile() const {
    return m_Code == SQLITE_CORRUPT || m_Code == SQLITE_NOTADB;
}
