#include "store/casedb.h"

#include "store/migrations.h"
#include "store/paths.h"
#include "store/searchindex.h"
#include "store/statement.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace veil {

namespace {

QString q(const QString& ident) { return QLatin1Char('"') + ident + QLatin1Char('"'); }

// Reads a "SELECT rowid, <fields...>" row into a record.
Record readRecord(const Stmt& s, const TableDef& t) {
    Record r;
    r.rowid = s.integer(0);
    for (int i = 0; i < t.fields.size(); ++i)
        if (!s.isNull(i + 1))
            r.values.insert(t.fields[i], s.text(i + 1));
    return r;
}

QString selectList(const TableDef& t) {
    QStringList cols{QStringLiteral("rowid")};
    for (const QString& f : t.fields)
        cols << q(f);
    return cols.join(QLatin1String(", "));
}

} // namespace

DbError::DbError(const QString& what) : std::runtime_error(what.toStdString()) {}

const QList<TableDef>& caseTables() {
    static const QList<TableDef> defs{
        {tables::location,
         {"LocationName", "LocationAddress1", "LocationAddress2", "ContactName", "Phone", "Cell",
          "Email", "Background", "History", "Notes", "Directions", "Image"},
         false},
        {tables::investigations,
         {"ID", "FullDate_Time", "Location", "Date_Month", "Date_Day", "Date_Year", "Time_Hour",
          "Time_Min", "Time_AP", "Outside_Temp", "Inside_Temp", "Humidity", "Moon_Phase",
          "Wind_Speed", "Weather", "Barometer", "investigators", "equipment", "Initial_Thoughts",
          "Investigation_Notes", "Tape_Archive"},
         true},
        {tables::interview,
         {"ID", "FullDate_Time", "Location", "Investigation", "Date_Month", "Date_Day",
          "Date_Year", "Time_Hour", "Time_Min", "Time_AP", "Name", "Affiliation", "Interviewer",
          "Interview"},
         true},
        {tables::investigators,
         {"Name", "Address1", "Address2", "Phone", "Cell", "Email", "Notes", "Image", "Title",
          "Active"},
         false},
        {tables::equipment,
         {"Nick_Name", "Type", "Manufacturer", "Model", "Battery_type", "Media_type", "Quirks"},
         false},
        {tables::pictures, {"Investigation", "Title", "History", "Path"}, false},
    };
    return defs;
}

const TableDef* findTable(const QString& name) {
    for (const TableDef& t : caseTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

FileKind fileKind(const QString& path) {
    QFileInfo info(path);
    if (!info.exists())
        return FileKind::Missing;
    QFile f(path);
    if (info.isDir() || !f.open(QIODevice::ReadOnly))
        return FileKind::Unreadable;
    const QByteArray head = f.read(32);
    if (head.isEmpty())
        return FileKind::Empty;
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return FileKind::Sqlite;
    const QByteArray sig = head.mid(4, 15);
    if (sig == "Standard Jet DB" || sig == "Standard ACE DB")
        return FileKind::Jet;
    return FileKind::Other;
}

QString Record::text(const QString& field) const { return values.value(field); }
bool Record::isNull(const QString& field) const { return !values.contains(field); }

// ---------------------------------------------------------------- Connection

Connection::Connection(const QString& path) : m_path(path) {}

Connection::~Connection() {
    if (m_db)
        sqlite3_close_v2(m_db);
}

std::unique_ptr<Connection> Connection::open(const QString& programFolder) {
    return openFile(programPath(programFolder, files::database));
}

std::unique_ptr<Connection> Connection::openFile(const QString& path, Upgrade upgrade) {
    const QString shown = QFileInfo(path).absoluteFilePath();
    switch (fileKind(path)) {
    case FileKind::Missing:
        throw DbError(QStringLiteral("The case database \"%1\" does not exist.").arg(shown));
    case FileKind::Unreadable:
        throw DbError(QStringLiteral("The case database \"%1\" cannot be read.").arg(shown));
    case FileKind::Empty:
        throw DbError(QStringLiteral("The case database \"%1\" is empty.").arg(shown));
    case FileKind::Jet:
        throw DbError(QStringLiteral("The case database \"%1\" is a Microsoft Jet database from the "
                                     "older Windows version and must be imported first.")
                          .arg(shown));
    case FileKind::Other:
        throw DbError(QStringLiteral("The file \"%1\" is not a case database.").arg(shown));
    case FileKind::Sqlite:
        break;
    }

    std::unique_ptr<Connection> c(new Connection(path));
    // No SQLITE_OPEN_CREATE: the file is never made here.
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &c->m_db, SQLITE_OPEN_READWRITE,
                        nullptr) != SQLITE_OK) {
        const QString why = c->m_db ? QString::fromUtf8(sqlite3_errmsg(c->m_db)) : QString();
        throw DbError(QStringLiteral("The case database \"%1\" cannot be opened: %2").arg(shown, why));
    }
    sqlite3_busy_timeout(c->m_db, 5000);
    sqlite3_extended_result_codes(c->m_db, 1);
    registerSearchFunctions(c->m_db);
    try {
        // Every store is on disk when it returns, and committed data lives in
        // the file itself (no write-ahead side file), so a plain file copy of
        // it is always a whole database.
        // The mode is read by a statement of its own that has ended before the
        // change, which checks the log's records into the file.
        const bool wal = [&] {
            Stmt mode(*c, QStringLiteral("PRAGMA journal_mode"));
            return mode.step() && mode.text(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
        }();
        if (wal) {
            Stmt off(*c, QStringLiteral("PRAGMA journal_mode=DELETE"));
            if (!off.step() || off.text(0).compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0)
                throw DbError(QStringLiteral("The case database \"%1\" is in use by another program "
                                             "and cannot be opened now.")
                                  .arg(shown));
        }
        Stmt(*c, QStringLiteral("PRAGMA synchronous=FULL")).step();

        for (const TableDef& t : caseTables()) {
            Stmt info(*c, QStringLiteral("PRAGMA table_info(%1)").arg(q(t.name)));
            QStringList have;
            while (info.step())
                have << info.text(1);
            if (have.isEmpty())
                throw DbError(QStringLiteral("The case database \"%1\" has no table \"%2\".")
                                  .arg(shown, t.name));
            for (const QString& f : t.fields)
                if (!have.contains(f, Qt::CaseInsensitive))
                    throw DbError(QStringLiteral("The case database \"%1\" has no field \"%2\" in "
                                                 "the table \"%3\".")
                                      .arg(shown, f, t.name));
        }
        if (upgrade == Upgrade::Yes) {
            upgradeSchema(c->m_db, shown);
            // An index someone dropped or damaged is made again from the records.
            if (!hasSearchIndex(c->m_db))
                rebuildSearchIndex(*c);
        }
        else if (const QString problem = schemaVersionProblem(c->m_db, shown); !problem.isEmpty())
            throw DbError(problem);
    } catch (const DbError& e) {
        // A damaged file fails its first query; say so in one sentence.
        if (sqlite3_errcode(c->m_db) == SQLITE_NOTADB || sqlite3_errcode(c->m_db) == SQLITE_CORRUPT)
            throw DbError(QStringLiteral("The case database \"%1\" is damaged.").arg(shown));
        throw;
    }
    return c;
}

QString Connection::problemWith(const QString& path) {
    try {
        openFile(path, Upgrade::No);
    } catch (const DbError& e) {
        return e.text();
    }
    return {};
}

void Connection::fail(const QString& doing) const {
    throw DbError(QStringLiteral("The case database \"%1\" failed while %2: %3")
                      .arg(m_path, doing, QString::fromUtf8(sqlite3_errmsg(m_db))));
}

const TableDef& Connection::tableDef(const QString& name) const {
    const TableDef* t = findTable(name);
    if (!t)
        throw DbError(QStringLiteral("The case database \"%1\" has no table \"%2\".").arg(m_path, name));
    return *t;
}

QString Connection::fieldName(const TableDef& t, const QString& name) const {
    for (const QString& f : t.fields)
        if (f.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    throw DbError(QStringLiteral("The table \"%1\" has no field \"%2\".").arg(t.name, name));
}

Cursor& Connection::openTable(const QString& name) {
    m_cursor.close();
    m_cursor.m_db = this;
    m_cursor.m_table = &tableDef(name);
    m_cursor.positionAfter(0);
    return m_cursor;
}

namespace {
QString whereClause(const QStringList& fields) {
    QStringList parts;
    for (int i = 0; i < fields.size(); ++i)
        parts << QStringLiteral("%1 = ?%2").arg(q(fields[i])).arg(i + 1);
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(QLatin1String(" AND "));
}
} // namespace

std::optional<Record> Connection::findOne(const QString& table, const Match& match, bool last) {
    const TableDef& t = tableDef(table);
    QStringList names;
    for (const auto& m : match)
        names << fieldName(t, m.first);
    Stmt s(*this, QStringLiteral("SELECT %1 FROM %2%3 ORDER BY rowid %4 LIMIT 1")
                      .arg(selectList(t), q(t.name), whereClause(names),
                           last ? QStringLiteral("DESC") : QStringLiteral("ASC")));
    for (int i = 0; i < match.size(); ++i)
        s.bind(i + 1, match[i].second);
    if (!s.step())
        return std::nullopt;
    return readRecord(s, t);
}

QStringList Connection::column(const QString& table, const QString& field, const Match& match) {
    const TableDef& t = tableDef(table);
    QStringList names;
    for (const auto& m : match)
        names << fieldName(t, m.first);
    Stmt s(*this, QStringLiteral("SELECT %1 FROM %2%3 ORDER BY rowid")
                      .arg(q(fieldName(t, field)), q(t.name), whereClause(names)));
    for (int i = 0; i < match.size(); ++i)
        s.bind(i + 1, match[i].second);
    QStringList out;
    while (s.step())
        out << s.text(0); // a null value is added as empty text, as the walk would
    return out;
}

QList<Record> Connection::findAll(const QString& table, const Match& match) {
    const TableDef& t = tableDef(table);
    QStringList names;
    for (const auto& m : match)
        names << fieldName(t, m.first);
    Stmt s(*this, QStringLiteral("SELECT %1 FROM %2%3 ORDER BY rowid").arg(selectList(t), q(t.name), whereClause(names)));
    for (int i = 0; i < match.size(); ++i)
        s.bind(i + 1, match[i].second);
    QList<Record> out;
    while (s.step())
        out << readRecord(s, t);
    return out;
}

int Connection::count(const QString& table) {
    const TableDef& t = tableDef(table);
    Stmt s(*this, QStringLiteral("SELECT count(*) FROM %1").arg(q(t.name)));
    s.step();
    return int(s.integer(0));
}

qint64 Connection::nextAutoNumber(const TableDef& t) {
    // The engine's own counter, so a number once given is never given again.
    qint64 seq = 0;
    {
        Stmt s(*this, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?1 COLLATE NOCASE"));
        s.bind(1, t.name);
        if (s.step())
            seq = s.integer(0);
    }
    Stmt m(*this, QStringLiteral("SELECT max(rowid) FROM %1").arg(q(t.name)));
    m.step();
    return std::max(seq, m.integer(0)) + 1;
}

qint64 Connection::add(const QString& table, const Fields& fields) {
    const TableDef& t = tableDef(table);
    QStringList names, marks;
    for (int i = 0; i < fields.size(); ++i) {
        names << q(fieldName(t, fields[i].first));
        marks << QStringLiteral("?%1").arg(i + 1);
    }
    const QString sql = names.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(q(t.name))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(q(t.name), names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    Stmt s(*this, sql);
    for (int i = 0; i < fields.size(); ++i)
        s.bind(i + 1, fields[i].second);
    s.step();
    return sqlite3_last_insert_rowid(m_db);
}

void Connection::updateRecord(const QString& table, qint64 rowid, const Fields& fields) {
    if (fields.isEmpty())
        return;
    const TableDef& t = tableDef(table);
    QStringList sets;
    for (int i = 0; i < fields.size(); ++i)
        sets << QStringLiteral("%1 = ?%2").arg(q(fieldName(t, fields[i].first))).arg(i + 1);
    Stmt s(*this, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                      .arg(q(t.name), sets.join(QLatin1String(", ")))
                      .arg(fields.size() + 1));
    for (int i = 0; i < fields.size(); ++i)
        s.bind(i + 1, fields[i].second);
    s.bind(int(fields.size()) + 1, rowid);
    s.step();
}

// -------------------------------------------------------------------- Cursor

const QString& Cursor::tableName() const {
    static const QString none;
    return m_table ? m_table->name : none;
}

QString Cursor::canonicalField(const QString& name) const {
    if (!m_table)
        throw DbError(QStringLiteral("No table is open."));
    return m_db->fieldName(*m_table, name);
}

void Cursor::positionAfter(qint64 rowid) {
    m_mode = Mode::Browse;
    m_pending.clear();
    Stmt s(*m_db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid > ?1 ORDER BY rowid LIMIT 1")
                      .arg(selectList(*m_table), q(m_table->name)));
    s.bind(1, rowid);
    if (s.step()) {
        m_current = readRecord(s, *m_table);
        m_eof = false;
    } else {
        m_current = Record{rowid, {}};
        m_eof = true;
    }
}

void Cursor::requireCurrent() const {
    if (!m_table)
        throw DbError(QStringLiteral("No table is open."));
    if (m_eof && m_mode == Mode::Browse)
        throw DbError(QStringLiteral("There is no current record in the table \"%1\".").arg(m_table->name));
}

void Cursor::moveNext() {
    requireCurrent();
    positionAfter(m_current.rowid);
}

void Cursor::moveLast() {
    if (!m_table)
        throw DbError(QStringLiteral("No table is open."));
    Stmt s(*m_db, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid DESC LIMIT 1")
                      .arg(selectList(*m_table), q(m_table->name)));
    m_mode = Mode::Browse;
    m_pending.clear();
    if (s.step()) {
        m_current = readRecord(s, *m_table);
        m_eof = false;
    }
}

int Cursor::recordCount() const {
    if (!m_table)
        throw DbError(QStringLiteral("No table is open."));
    return m_db->count(m_table->name);
}

QString Cursor::field(const QString& name) const {
    requireCurrent();
    return m_current.text(canonicalField(name));
}

bool Cursor::isNull(const QString& name) const {
    requireCurrent();
    return m_current.isNull(canonicalField(name));
}

void Cursor::addNew() {
    if (!m_table)
        throw DbError(QStringLiteral("No table is open."));
    m_mode = Mode::Adding;
    m_pending.clear();
    m_current.values.clear();
    if (m_table->autoNumber) {
        const qint64 id = m_db->nextAutoNumber(*m_table);
        m_current.rowid = id;
        m_current.values.insert(QStringLiteral("ID"), QString::number(id));
    } else {
        m_current.rowid = 0;
    }
}

void Cursor::edit() {
    requireCurrent();
    m_mode = Mode::Editing;
    m_pending.clear();
}

void Cursor::setField(const QString& name, const QString& value) {
    if (m_mode == Mode::Browse)
        throw DbError(QStringLiteral("Set a field only after add-new or edit."));
    const QString f = canonicalField(name);
    if (m_table->autoNumber && f == QLatin1String("ID"))
        throw DbError(QStringLiteral("The field \"ID\" is numbered by the database."));
    for (auto& p : m_pending)
        if (p.first == f) {
            p.second = value;
            m_current.values.insert(f, value);
            return;
        }
    m_pending.append({f, value});
    m_current.values.insert(f, value);
}

void Cursor::update() {
    if (m_mode == Mode::Adding) {
        Fields fields = m_pending;
        if (m_table->autoNumber)
            fields.prepend({QStringLiteral("ID"), QString::number(m_current.rowid)});
        const qint64 rowid = m_db->add(m_table->name, fields);
        m_current.rowid = rowid;
        m_eof = false;
    } else if (m_mode == Mode::Editing) {
        m_db->updateRecord(m_table->name, m_current.rowid, m_pending);
    } else {
        throw DbError(QStringLiteral("Store a record only after add-new or edit."));
    }
    m_mode = Mode::Browse;
    m_pending.clear();
}

void Cursor::close() {
    m_table = nullptr;
    m_current = Record{};
    m_eof = true;
    m_mode = Mode::Browse;
    m_pending.clear();
}

} // namespace veil
