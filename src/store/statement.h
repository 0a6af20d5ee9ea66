#pragma once
// A prepared statement for the store's own code (not for the windows).

#include "store/casedb.h"

#include <sqlite3.h>

namespace veil {

// Prepared statement that is always reset, so no connection keeps a read lock
// between calls. Failures throw DbError naming the file.
class Stmt {
public:
    Stmt(sqlite3* db, const QString& shownPath, const QString& sql) : m_db(db), m_path(shownPath) {
        const QByteArray s = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, s.constData(), int(s.size()), &m_stmt, nullptr) != SQLITE_OK)
            throw DbError(QStringLiteral("The case database \"%1\" could not run a query: %2")
                              .arg(m_path, QString::fromUtf8(sqlite3_errmsg(m_db))));
    }
    Stmt(const Connection& db, const QString& sql) : Stmt(db.handle(), db.path(), sql) {}
    ~Stmt() { sqlite3_finalize(m_stmt); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    void bind(int i, const QString& v) {
        const QByteArray b = v.toUtf8();
        sqlite3_bind_text(m_stmt, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }
    bool step() {
        const int rc = tryStep();
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw DbError(QStringLiteral("The case database \"%1\" failed: %2").arg(m_path, errorText()));
    }
    // The engine's own result (SQLITE_ROW, SQLITE_DONE or an error code), for
    // callers that tell errors apart; errorText() says what went wrong.
    int tryStep() { return sqlite3_step(m_stmt); }
    QString errorText() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }
    void reset() { sqlite3_reset(m_stmt); }
    int columns() const { return sqlite3_column_count(m_stmt); }
    bool isNull(int c) const { return sqlite3_column_type(m_stmt, c) == SQLITE_NULL; }
    qint64 integer(int c) const { return sqlite3_column_int64(m_stmt, c); }
    double real(int c) const { return sqlite3_column_double(m_stmt, c); }
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
