#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <stdexcept>

struct sqlite3;

namespace veil {

// The six tables and their fields. Table and field names are matched without
// regard to case, as the old engine did; values are compared exactly.
struct TableDef {
    QString name;
    QStringList fields; // in design order; "ID" first where the table has an auto number
    bool autoNumber = false;
};
const QList<TableDef>& caseTables();
const TableDef* findTable(const QString& name); // nullptr when unknown

namespace tables {
inline const QString location = QStringLiteral("Location");
inline const QString investigations = QStringLiteral("Investigations");
inline const QString interview = QStringLiteral("Interview");
inline const QString investigators = QStringLiteral("Investigators");
inline const QString equipment = QStringLiteral("equipment");
inline const QString pictures = QStringLiteral("Pictures");
} // namespace tables

// A failure of the database engine or a file that is not a usable case
// database. The text names the file and says what is wrong.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& what);
    QString text() const { return QString::fromUtf8(what()); }
};

// What a database file is, judged from its first bytes.
enum class FileKind { Missing, Unreadable, Empty, Sqlite, Jet, Other };
FileKind fileKind(const QString& path);

// One record as read: values by field name; a field without a value is absent
// from `values` (null). Null reads as empty text and never equals anything.
struct Record {
    qint64 rowid = 0;
    QHash<QString, QString> values; // keys are the canonical field names

    QString text(const QString& field) const;
    bool isNull(const QString& field) const;
};

// Exact, case-sensitive equality of each listed field with its value.
using Match = QList<QPair<QString, QString>>;
// Values to write, by field name.
using Fields = QList<QPair<QString, QString>>;

class Connection;

// A table opened by name: a cursor over its records in stored (insertion)
// order. It holds no lock between calls, so other connections can write while
// it is open, and it sees what they stored when it moves on.
class Cursor {
public:
    bool isOpen() const { return m_table != nullptr; }
    const QString& tableName() const;

    bool eof() const { return m_eof; }
    void moveNext();
    void moveLast();
    int recordCount() const;

    // Field of the current record (or of the one being added or edited) as text.
    QString field(const QString& name) const;
    bool isNull(const QString& name) const;
    const Record& record() const { return m_current; }

    void addNew();   // begins a new record; its auto number is readable at once
    void edit();     // begins changing the current record
    void setField(const QString& name, const QString& value);
    void update();   // stores the added or edited record; on disk when it returns
    void close();

private:
    friend class Connection;
    enum class Mode { Browse, Adding, Editing };

    void positionAfter(qint64 rowid);
    QString canonicalField(const QString& name) const;
    void requireCurrent() const;

    Connection* m_db = nullptr;
    const TableDef* m_table = nullptr;
    Record m_current;
    bool m_eof = true;
    Mode m_mode = Mode::Browse;
    Fields m_pending;
};

// An open handle on one case database file. Each window owns its own.
class Connection {
public:
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens program folder + "\Veilcase.mdb". Never creates or truncates the
    // file; throws DbError when it is missing, unreadable, not a SQLite case
    // database, lacks a table or field, or is of a newer version. An older
    // file gains our own tables (see migrations.h) unless told not to.
    enum class Upgrade { Yes, No };
    static std::unique_ptr<Connection> open(const QString& programFolder);
    static std::unique_ptr<Connection> openFile(const QString& path, Upgrade upgrade = Upgrade::Yes);
    // Checks a file without keeping it open or changing it: empty when it is a
    // usable case database (of our version or older), otherwise the reason.
    static QString problemWith(const QString& path);

    const QString& path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    // Opens a table by name (any letter case); replaces the previously open one.
    Cursor& openTable(const QString& name);
    Cursor& table() { return m_cursor; }

    // The access patterns, answered with SQL but giving exactly what a walk
    // from the first record would: first match in stored order, exact
    // comparison, null never matching.
    std::optional<Record> findFirst(const QString& table, const Match& match) { return findOne(table, match, false); }
    std::optional<Record> findLast(const QString& table, const Match& match) { return findOne(table, match, true); }
    bool exists(const QString& table, const Match& match) { return findFirst(table, match).has_value(); }
    QStringList column(const QString& table, const QString& field, const Match& match = {});
    // Every matching record, in stored order.
    QList<Record> findAll(const QString& table, const Match& match = {});
    int count(const QString& table);
    // Adds a record; returns its rowid (the auto number in tables that have one).
    qint64 add(const QString& table, const Fields& fields);
    // Rewrites the given fields of one record.
    void updateRecord(const QString& table, qint64 rowid, const Fields& fields);

private:
    friend class Cursor;
    explicit Connection(const QString& path);
    std::optional<Record> findOne(const QString& table, const Match& match, bool last);
    const TableDef& tableDef(const QString& name) const;
    QString fieldName(const TableDef& t, const QString& name) const;
    qint64 nextAutoNumber(const TableDef& t);
    [[noreturn]] void fail(const QString& doing) const;

    QString m_path;
    sqlite3* m_db = nullptr;
    Cursor m_cursor;
};

} // namespace veil
