#pragma once

class SqliteDatabase;

// BEGIN IMMEDIATE on construction, so writers queue at the start instead of failing midway;
// rolled back unless committed.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void Commit();

private:
    SqliteDatabase& m_Db;
    bool m_Open = true;
};
