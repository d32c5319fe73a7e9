#include "library/SqliteTransaction.h"

#include <sqlite3.h>

#include "library/SqliteDatabase.h"

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : m_Db(db) {
    m_Db.Exec("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
    if (m_Open) {
        // Nothing to report from here: the error that brought us here is on its way out.
        sqlite3_exec(m_Db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void SqliteTransaction::Commit() {
    m_Db.Exec("COMMIT");
    m_Open = false;
}
