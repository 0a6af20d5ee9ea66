#include "store/searchindex.h"

#include "store/casedb.h"
#include "store/statement.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <vector>

namespace veil {

namespace {

// One index per kind, over the text fields of its table, reading the words
// from the table itself (external content), so the index adds no copy of the
// text to the file.
struct Indexed {
    HitKind kind;
    QString table;   // the table the records live in
    QString index;   // the full-text table
    QString key;     // SQL giving the record's key from the index's columns
    QStringList columns;
    bool integerKey; // the rowid is a declared INTEGER PRIMARY KEY
};

QString q(const QString& ident) { return QLatin1Char('"') + ident + QLatin1Char('"'); }

QStringList textFields(const QString& table) {
    QStringList f = findTable(table)->fields;
    f.removeAll(QStringLiteral("ID")); // the auto number is no text
    return f;
}

const QList<Indexed>& indexed() {
    static const QList<Indexed> all = {
        {HitKind::Location, tables::location, "vc_search_location", "\"LocationName\"", textFields(tables::location), false},
        {HitKind::Investigation, tables::investigations, "vc_search_investigation", "\"FullDate_Time\"",
         textFields(tables::investigations), true},
        {HitKind::Interview, tables::interview, "vc_search_interview", "\"FullDate_Time\"",
         textFields(tables::interview), true},
        {HitKind::Investigator, tables::investigators, "vc_search_investigator", "\"Name\"",
         textFields(tables::investigators), false},
        {HitKind::Equipment, tables::equipment, "vc_search_equipment", "\"Nick_Name\"", textFields(tables::equipment),
         false},
        {HitKind::Picture, tables::pictures, "vc_search_picture", "\"Title\"", textFields(tables::pictures), false},
        {HitKind::Evidence, "vc_evidence", "vc_search_evidence", "\"FullDate_Time\" || ' #' || rowid",
         {"FullDate_Time", "kind", "area", "investigator", "device", "unit", "media_path", "evp_class", "status",
          "explanation", "note"},
         true},
    };
    return all;
}

const Indexed& indexedFor(HitKind kind) {
    for (const Indexed& i : indexed())
        if (i.kind == kind)
            return i;
    return indexed().first();
}

QString listOf(const QStringList& columns, const QString& prefix) {
    QStringList out;
    for (const QString& c : columns)
        out << prefix + q(c);
    return out.join(QLatin1String(", "));
}

QStringList triggerNames(const Indexed& t) {
    QStringList names;
    for (const char* suffix : {"_ai", "_ad", "_au"})
        names << t.index + QLatin1String(suffix);
    if (t.integerKey)
        names << t.index + QStringLiteral("_bi");
    return names;
}

// The index's tables and the triggers that keep it in step with its table.
QStringList creation(const Indexed& t) {
    const QString cols = listOf(t.columns, {});
    const QString ix = t.index, tb = q(t.table);
    const QString add = QStringLiteral("INSERT INTO %1(rowid, %2) VALUES (new.rowid, %3);")
                            .arg(ix, cols, listOf(t.columns, QStringLiteral("new.")));
    const QString drop = QStringLiteral("INSERT INTO %1(%1, rowid, %2) VALUES ('delete', old.rowid, %3);")
                             .arg(ix, cols, listOf(t.columns, QStringLiteral("old.")));
    QStringList sql;
    for (const QString& name : triggerNames(t))
        sql << QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(name);
    sql << QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(%2, content=%3, content_rowid='rowid', "
                          "tokenize='unicode61 remove_diacritics 2')")
               .arg(ix, cols, QLatin1Char('\'') + t.table + QLatin1Char('\''))
        << QStringLiteral("CREATE TRIGGER %1_ai AFTER INSERT ON %2 BEGIN %3 END").arg(ix, tb, add)
        << QStringLiteral("CREATE TRIGGER %1_ad AFTER DELETE ON %2 BEGIN %3 END").arg(ix, tb, drop)
        << QStringLiteral("CREATE TRIGGER %1_au AFTER UPDATE ON %2 BEGIN %3 %4 END").arg(ix, tb, drop, add);
    // A record that replaces another of the same number (INSERT OR REPLACE)
    // takes the old one's words out of the index first; the engine removes
    // the old record without telling any trigger.
    if (t.integerKey)
        sql << QStringLiteral("CREATE TRIGGER %1_bi BEFORE INSERT ON %2 WHEN EXISTS (SELECT 1 FROM %2 WHERE "
                              "rowid = new.rowid) BEGIN INSERT INTO %1(%1, rowid, %3) SELECT 'delete', rowid, %3 "
                              "FROM %2 WHERE rowid = new.rowid; END")
                   .arg(ix, tb, cols);
    return sql;
}

void run(sqlite3* db, const QString& shown, const QString& sql) {
    Stmt s(db, shown, sql);
    while (s.step()) {
    }
}

qint64 scalar(sqlite3* db, const QString& shown, const QString& sql, qint64 arg = 0) {
    Stmt s(db, shown, sql);
    if (sql.contains(QLatin1String("?1")))
        s.bind(1, arg);
    return s.step() ? s.integer(0) : -1;
}

// Drops an index table, also one too damaged for the engine to open: then its
// entry is taken out of the schema by hand and its own tables dropped as
// plain tables.
void dropIndexTable(sqlite3* db, const QString& shown, const QString& index) {
    if (sqlite3_exec(db, QStringLiteral("DROP TABLE IF EXISTS %1").arg(index).toUtf8().constData(), nullptr, nullptr,
                     nullptr) == SQLITE_OK)
        return;
    run(db, shown, QStringLiteral("PRAGMA writable_schema=ON"));
    run(db, shown, QStringLiteral("DELETE FROM sqlite_schema WHERE type = 'table' AND name = '%1'").arg(index));
    run(db, shown, QStringLiteral("PRAGMA writable_schema=RESET"));
    for (const char* part : {"_data", "_idx", "_docsize", "_config", "_content"})
        run(db, shown, QStringLiteral("DROP TABLE IF EXISTS %1%2").arg(index, QLatin1String(part)));
}

IndexProgress g_progress;

// The field with the most matched words in the row (the first on a tie).
void bestColumn(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* out, int, sqlite3_value**) {
    int n = 0;
    api->xInstCount(fts, &n);
    std::vector<int> per(std::max(1, api->xColumnCount(fts)), 0);
    for (int i = 0; i < n; ++i) {
        int phrase = 0, column = 0, offset = 0;
        if (api->xInst(fts, i, &phrase, &column, &offset) == SQLITE_OK && column >= 0 && column < int(per.size()))
            ++per[column];
    }
    sqlite3_result_int(out, int(std::max_element(per.begin(), per.end()) - per.begin()));
}

bool isCorruption(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// The index's own complaint about a query, in the user's words.
QString queryError(const QString& engine) {
    static const QRegularExpression near(QStringLiteral("syntax error near \"(.*)\""));
    const auto m = near.match(engine);
    const QString where = m.hasMatch() && !m.captured(1).isEmpty()
        ? QStringLiteral("The search cannot be read at \"%1\". ").arg(m.captured(1))
        : QStringLiteral("The search is not complete. ");
    return where + QStringLiteral("Use words, prefix* (as in cell*), \"a phrase\", OR between two parts and "
                                  "NOT before words to leave out (as in cellar NOT door).");
}

} // namespace

const QList<HitKind>& hitKinds() {
    static const QList<HitKind> all = {HitKind::Location,     HitKind::Investigation, HitKind::Interview,
                                       HitKind::Investigator, HitKind::Equipment,     HitKind::Picture,
                                       HitKind::Evidence};
    return all;
}

QString kindName(HitKind kind) { return kindTitle(kind).toLower(); }

QString kindTitle(HitKind kind) {
    switch (kind) {
    case HitKind::Location: return QStringLiteral("Location");
    case HitKind::Investigation: return QStringLiteral("Investigation");
    case HitKind::Interview: return QStringLiteral("Interview");
    case HitKind::Investigator: return QStringLiteral("Investigator");
    case HitKind::Equipment: return QStringLiteral("Equipment");
    case HitKind::Picture: return QStringLiteral("Picture");
    case HitKind::Evidence: return QStringLiteral("Evidence");
    }
    return {};
}

int SearchResult::total() const {
    int n = 0;
    for (int c : counts)
        n += c;
    return n;
}

void setIndexProgress(IndexProgress progress) { g_progress = std::move(progress); }

void buildSearchIndex(sqlite3* db, const QString& shown, const IndexProgress& given) {
    const IndexProgress& progress = given ? given : g_progress;
    qint64 total = 0, done = 0;
    for (const Indexed& t : indexed()) {
        const QStringList sql = creation(t);
        for (int i = 0; i < sql.size(); ++i) {
            if (sql[i].startsWith(QLatin1String("CREATE VIRTUAL")))
                dropIndexTable(db, shown, t.index); // its triggers are gone by now
            run(db, shown, sql[i]);
        }
        total += scalar(db, shown, QStringLiteral("SELECT count(*) FROM %1").arg(q(t.table)));
    }
    if (progress)
        progress(0, total);
    // Finished also when it fails, so that nothing stays on the screen.
    struct Finish {
        const IndexProgress& progress;
        const qint64& total;
        ~Finish() {
            if (progress)
                progress(total, total);
        }
    } finish{progress, total};
    // In slices by rowid, so that a large file can say how far it is.
    constexpr qint64 kSlice = 4096;
    for (const Indexed& t : indexed()) {
        const QString cols = listOf(t.columns, {});
        Stmt end(db, shown,
                 QStringLiteral("SELECT rowid FROM %1 WHERE rowid > ?1 ORDER BY rowid LIMIT 1 OFFSET %2")
                     .arg(q(t.table))
                     .arg(kSlice - 1));
        Stmt fill(db, shown,
                  QStringLiteral("INSERT INTO %1(rowid, %2) SELECT rowid, %2 FROM %3 WHERE rowid > ?1 AND rowid <= ?2")
                      .arg(t.index, cols, q(t.table)));
        qint64 from = std::numeric_limits<qint64>::min();
        for (bool more = true; more;) {
            end.bind(1, from);
            more = end.step();
            const qint64 to = more ? end.integer(0) : std::numeric_limits<qint64>::max();
            end.reset();
            fill.bind(1, from);
            fill.bind(2, to);
            fill.step();
            fill.reset();
            from = to;
            done = std::min(total, done + kSlice);
            if (progress && more)
                progress(done, total);
        }
    }
}

bool hasSearchIndex(sqlite3* db) {
    QStringList names;
    for (const Indexed& t : indexed())
        names << t.index << triggerNames(t);
    Stmt s(db, {}, QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name IN ('%1')")
                       .arg(names.join(QLatin1String("','"))));
    if (!s.step() || s.integer(0) != names.size())
        return false;
    // An index whose own records are damaged cannot even be opened.
    for (const Indexed& t : indexed()) {
        sqlite3_stmt* probe = nullptr;
        const int rc = sqlite3_prepare_v2(db, QStringLiteral("SELECT rowid FROM %1 WHERE rowid = 0").arg(t.index).toUtf8().constData(),
                                          -1, &probe, nullptr);
        sqlite3_finalize(probe);
        if (rc != SQLITE_OK)
            return false;
    }
    return true;
}

QString searchIndexProblem(sqlite3* db) {
    if (!hasSearchIndex(db))
        return QStringLiteral("The search index is missing.");
    for (const Indexed& t : indexed()) {
        // Compares the index with the records it was made from.
        Stmt s(db, {}, QStringLiteral("INSERT INTO %1(%1, rank) VALUES ('integrity-check', 1)").arg(t.index));
        if (const int rc = s.tryStep(); rc != SQLITE_DONE)
            return QStringLiteral("The search index of the table \"%1\" is out of step with its records (%2).")
                .arg(t.table, s.errorText());
    }
    return {};
}

void rebuildSearchIndex(Connection& db, const IndexProgress& progress) {
    run(db.handle(), db.path(), QStringLiteral("BEGIN IMMEDIATE"));
    try {
        buildSearchIndex(db.handle(), db.path(), progress);
        run(db.handle(), db.path(), QStringLiteral("COMMIT"));
    } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void registerSearchFunctions(sqlite3* db) {
    fts5_api* api = nullptr;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(st, 1, reinterpret_cast<void*>(&api), "fts5_api_ptr", nullptr);
        sqlite3_step(st);
    }
    sqlite3_finalize(st);
    if (api)
        api->xCreateFunction(api, "vc_column", nullptr, bestColumn, nullptr);
}

QString indexQuery(const QString& query, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return QString();
    };
    auto phrase = [](const QString& words) {
        return QLatin1Char('"') + QString(words).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
               QLatin1Char('"');
    };
    QStringList out;
    int depth = 0;
    for (qsizetype i = 0; i < query.size();) {
        const QChar c = query[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('"')) {
            const qsizetype close = query.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0)
                return fail(QStringLiteral("A quotation mark is not closed: put a \" at the end of the phrase."));
            QString p = phrase(query.mid(i + 1, close - i - 1));
            i = close + 1;
            if (i < query.size() && query[i] == QLatin1Char('*')) {
                p += QLatin1Char('*');
                ++i;
            }
            out << p;
        } else if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            depth += c == QLatin1Char('(') ? 1 : -1;
            if (depth < 0)
                return fail(QStringLiteral("A closing bracket \")\" has no opening one."));
            out << QString(c);
            ++i;
        } else {
            qsizetype j = i;
            while (j < query.size() && !query[j].isSpace() && query[j] != QLatin1Char('"') &&
                   query[j] != QLatin1Char('(') && query[j] != QLatin1Char(')'))
                ++j;
            QString word = query.mid(i, j - i);
            i = j;
            if (word == QLatin1String("OR") || word == QLatin1String("NOT") || word == QLatin1String("AND")) {
                out << word;
                continue;
            }
            const bool prefix = word.endsWith(QLatin1Char('*'));
            while (word.endsWith(QLatin1Char('*')))
                word.chop(1);
            if (word.isEmpty())
                return fail(QStringLiteral("A * must end a word, as in cell*."));
            out << phrase(word) + (prefix ? QStringLiteral("*") : QString());
        }
    }
    if (depth > 0)
        return fail(QStringLiteral("A bracket \"(\" is not closed."));
    if (out.isEmpty())
        return fail(QStringLiteral("Type a word to search for."));
    if (error)
        error->clear();
    return out.join(QLatin1Char(' '));
}

namespace {
// Fills the result from every kind's index; the engine's code and message on failure.
std::pair<int, QString> runQuery(Connection& db, const QString& match, int perKind, SearchResult& result) {
    try {
        for (const Indexed& t : indexed()) {
            // The newest matches first, by number alone (cheap): how many there
            // are, up to the cap, and from where the best are picked.
            qint64 from = std::numeric_limits<qint64>::min();
            int n = 0;
            int rc;
            {
                Stmt newest(db, QStringLiteral("SELECT rowid FROM %1 WHERE %1 MATCH ?1 ORDER BY rowid DESC%2")
                                    .arg(t.index, perKind > 0 ? QStringLiteral(" LIMIT %1").arg(kCountCap + 1)
                                                              : QString()));
                newest.bind(1, match);
                while ((rc = newest.tryStep()) == SQLITE_ROW)
                    if (++n == kRankWindow && perKind > 0)
                        from = newest.integer(0);
                if (rc != SQLITE_DONE)
                    return {rc, newest.errorText()};
            }
            result.counts.insert(t.kind, n);
            if (n == 0)
                continue;
            Stmt hits(db, QStringLiteral("SELECT rowid, %2, vc_column(%1), snippet(%1, vc_column(%1), char(2), "
                                         "char(3), '…', 16), rank FROM %1 WHERE %1 MATCH ?1 AND rowid >= ?2 "
                                         "ORDER BY rank%3")
                              .arg(t.index, t.key,
                                   perKind > 0 ? QStringLiteral(" LIMIT %1").arg(perKind) : QString()));
            hits.bind(1, match);
            hits.bind(2, from);
            static const QRegularExpression space(QStringLiteral("\\s+"));
            while ((rc = hits.tryStep()) == SQLITE_ROW) {
                QString snippet = hits.text(3);
                snippet.replace(space, QStringLiteral(" "));
                result.hits.append({t.kind, hits.integer(0), hits.text(1), t.columns.value(int(hits.integer(2))),
                                    snippet.trimmed(), hits.real(4)});
            }
            if (rc != SQLITE_DONE)
                return {rc, hits.errorText()};
        }
    } catch (const DbError& e) {
        // A damaged index can fail as soon as it is named.
        return {sqlite3_extended_errcode(db.handle()), e.text()};
    }
    return {SQLITE_OK, {}};
}
} // namespace

SearchResult search(Connection& db, const QString& query, int perKind) {
    SearchResult result;
    const QString match = indexQuery(query, &result.error);
    if (match.isEmpty())
        return result;
    for (int attempt = 0;; ++attempt) {
        const auto [rc, why] = runQuery(db, match, perKind, result);
        if (rc == SQLITE_OK)
            return result;
        result.hits.clear();
        result.counts.clear();
        if (!isCorruption(rc) || attempt > 0) {
            if (why.contains(QLatin1String("fts5: syntax error")))
                result.error = queryError(why);
            else
                throw DbError(QStringLiteral("The case database \"%1\" could not be searched: %2").arg(db.path(), why));
            return result;
        }
        rebuildSearchIndex(db); // damaged: made again from the records, then asked again
    }
}

QList<SearchHit> bestFirst(QList<SearchHit> hits) {
    std::stable_sort(hits.begin(), hits.end(), [](const SearchHit& a, const SearchHit& b) { return a.score < b.score; });
    return hits;
}

QString markSnippet(const QString& snippet, const QString& open, const QString& close, bool html) {
    QString s = html ? snippet.toHtmlEscaped() : snippet;
    s.replace(kMatchStart, open);
    s.replace(kMatchEnd, close);
    return s;
}

RecordPlace placeOf(Connection& db, const SearchHit& hit) {
    const Indexed& t = indexedFor(hit.kind);
    Stmt s(db, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(q(t.table)));
    s.bind(1, hit.rowid);
    if (!s.step())
        return {};
    QHash<QString, QString> v;
    for (int c = 0; c < s.columns(); ++c)
        v.insert(s.name(c).toLower(), s.text(c));
    auto locationOf = [&](const QString& investigation) {
        const auto r = db.findFirst(tables::investigations, {{QStringLiteral("FullDate_Time"), investigation}});
        return r ? r->text(QStringLiteral("Location")) : QString();
    };
    switch (hit.kind) {
    case HitKind::Location: return {v.value("locationname"), {}, {}, {}};
    case HitKind::Investigation: return {v.value("location"), v.value("fulldate_time"), {}, {}};
    case HitKind::Interview: return {v.value("location"), v.value("investigation"), v.value("fulldate_time"), {}};
    case HitKind::Picture: return {locationOf(v.value("investigation")), v.value("investigation"), {}, v.value("title")};
    case HitKind::Evidence: return {locationOf(v.value("fulldate_time")), v.value("fulldate_time"), {}, {}};
    case HitKind::Investigator:
    case HitKind::Equipment: break;
    }
    return {};
}

} // namespace veil
