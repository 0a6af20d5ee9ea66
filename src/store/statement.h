#pragma once
// The store's own SQL plumbing (prepared statements, write transactions), for its source files only.

#include "store/casedb.h"

#include <sqlite3.h>

#include <optional>

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
    void bind(int i, double v) { sqlite3_bind_double(m_stmt, i, v); }
    // Empty text and absent numbers are stored as null.
    void bindOrNull(int i, const QString& v) {
        if (v.isEmpty())
            sqlite3_bind_null(m_stmt, i);
        else
            bind(i, v);
    }
    template <class T> void bindOrNull(int i, const std::optional<T>& v) {
        if (v)
            bind(i, *v);
        else
            sqlite3_bind_null(m_stmt, i);
    }
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
    void reset() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    int columns() const { return sqlite3_column_count(m_stmt); }
    bool isNull(int c) const { return sqlite3_column_type(m_stmt, c) == SQLITE_NULL; }
    qint64 integer(int c) const { return sqlite3_column_int64(m_stmt, c); }
    double real(int c) const { return sqlite3_column_double(m_stmt, c); }
    QString text(int c) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c));
        return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, c));
    }
    // The column's UTF-8 bytes, good until the next step.
    QByteArrayView bytes(int c) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c));
        return QByteArrayView(p, sqlite3_column_bytes(m_stmt, c));
    }
    QString name(int c) const { return QString::fromUtf8(sqlite3_column_name(m_stmt, c)); }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_path;
};

// One write transaction: BEGIN IMMEDIATE now, COMMIT by commit(), ROLLBACK
// when it goes out of scope uncommitted (an exception on the way).
class WriteTransaction {
public:
    explicit WriteTransaction(const Connection& db) : m_db(db) { run("BEGIN IMMEDIATE"); }
    ~WriteTransaction() {
        if (!m_done)
            sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit() {
        run("COMMIT");
        m_done = true;
    }

private:
    void run(const char* sql) {
        if (sqlite3_exec(m_db.handle(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw DbError(QStringLiteral("The case database \"%1\" failed: %2")
                              .arg(m_db.path(), QString::fromUtf8(sqlite3_errmsg(m_db.handle()))));
    }
    const Connection& m_db;
    bool m_done = false;
};

} // namespace veil
