#pragma once
// A prepared statement on a case database connection, for the store's own files.

#include "store/casedb.h"

#include <sqlite3.h>

namespace veil {

// Prepared statement that is always reset, so no connection keeps a read lock
// between calls.
class Stmt {
public:
    Stmt(const Connection& db, const QString& sql) : m_db(db.handle()) {
        const QByteArray s = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, s.constData(), int(s.size()), &m_stmt, nullptr) != SQLITE_OK)
            throw DbError(QStringLiteral("The case database \"%1\" could not run a query: %2")
                              .arg(db.path(), QString::fromUtf8(sqlite3_errmsg(m_db))));
        m_path = db.path();
    }
    ~Stmt() { sqlite3_finalize(m_stmt); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    void bind(int i, const QString& v) {
        const QByteArray b = v.toUtf8();
        sqlite3_bind_text(m_stmt, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw DbError(QStringLiteral("The case database \"%1\" failed: %2")
                          .arg(m_path, QString::fromUtf8(sqlite3_errmsg(m_db))));
    }
    int columns() const { return sqlite3_column_count(m_stmt); }
    bool isNull(int c) const { return sqlite3_column_type(m_stmt, c) == SQLITE_NULL; }
    qint64 integer(int c) const { return sqlite3_column_int64(m_stmt, c); }
    QString text(int c) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c));
        return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, c));
    }
    QString name(int c) const { return QString::fromUtf8(sqlite3_column_name(m_stmt, c)); }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_path;
};

} // namespace veil
