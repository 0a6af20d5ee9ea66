#include "store/searchindex.h"

#include "store/casedb.h"
#include "store/statement.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
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

// The engine's bm25 but for how often a phrase is counted: only up to
// kCountCap records, and a prefix not at all (taken as common). Counting
// every record that holds a common word cost more than the rest of a query,
// and beyond the cap the weight a word gets hardly changes the order.
struct RankData {
    std::vector<double> idf;
    double averageLength = 1;
};

// How rare a phrase is among the records of an index.
double inverseFrequency(double rows, double hits) {
    const double idf = std::log((rows - hits + 0.5) / (hits + 0.5));
    return idf > 0 ? idf : 1e-6;
}

int countUpToCap(const Fts5ExtensionApi*, Fts5Context*, void* data) {
    return ++*static_cast<sqlite3_int64*>(data) >= kCountCap ? SQLITE_DONE : SQLITE_OK;
}

RankData* rankData(const Fts5ExtensionApi* api, Fts5Context* fts, const QByteArray& prefixes, int* rc) {
    if (auto* known = static_cast<RankData*>(api->xGetAuxdata(fts, 0)))
        return known;
    auto data = std::make_unique<RankData>();
    sqlite3_int64 rows = 0, tokens = 0;
    *rc = api->xRowCount(fts, &rows);
    if (*rc == SQLITE_OK)
        *rc = api->xColumnTotalSize(fts, -1, &tokens);
    if (*rc != SQLITE_OK)
        return nullptr;
    data->averageLength = rows > 0 && tokens > 0 ? double(tokens) / double(rows) : 1;
    // With one phrase its weight orders nothing within the index; it is the
    // count of the query's own pass and applied after it (vc_rows), so the
    // phrase is not looked for twice.
    const int phrases = api->xPhraseCount(fts);
    for (int i = 0; i < phrases; ++i) {
        sqlite3_int64 hits = 0;
        if (phrases == 1)
            data->idf.push_back(1);
        else if (i < prefixes.size() && prefixes[i] == 'p')
            data->idf.push_back(inverseFrequency(double(rows), kCountCap));
        else if ((*rc = api->xQueryPhrase(fts, i, &hits, countUpToCap)) != SQLITE_OK)
            return nullptr;
        else
            data->idf.push_back(inverseFrequency(double(rows), double(hits)));
    }
    // On failure the engine deletes it itself.
    RankData* kept = data.release();
    *rc = api->xSetAuxdata(fts, kept, [](void* p) { delete static_cast<RankData*>(p); });
    return *rc == SQLITE_OK ? kept : nullptr;
}

// vc_window(W): whether the record is among the first W the query meets in
// its order (every record for W = 0). The costly columns of a hit are worked
// out only for those; each record counts once however often it is asked.
void window(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* out, int argc, sqlite3_value** argv) {
    struct Seen {
        sqlite3_int64 last = 0;
        int n = 0;
    };
    auto* seen = static_cast<Seen*>(api->xGetAuxdata(fts, 0));
    if (!seen) {
        seen = new Seen;
        if (const int rc = api->xSetAuxdata(fts, seen, [](void* p) { delete static_cast<Seen*>(p); }); rc != SQLITE_OK) {
            sqlite3_result_error_code(out, rc);
            return;
        }
    }
    const sqlite3_int64 row = api->xRowid(fts);
    if (seen->n == 0 || row != seen->last) {
        seen->last = row;
        ++seen->n;
    }
    const int w = argc > 0 ? sqlite3_value_int(argv[0]) : 0;
    sqlite3_result_int(out, w <= 0 || seen->n <= w);
}

// vc_rows(): the records the index holds.
void rows(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* out, int, sqlite3_value**) {
    sqlite3_int64 n = 0;
    if (const int rc = api->xRowCount(fts, &n); rc != SQLITE_OK)
        sqlite3_result_error_code(out, rc);
    else
        sqlite3_result_int64(out, n);
}

// vc_rank('wp…'): one letter a phrase of the query, p for a prefix.
void rank(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* out, int argc, sqlite3_value** argv) {
    constexpr double k1 = 1.2, b = 0.75;
    const QByteArray prefixes = argc > 0 ? QByteArray(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])))
                                         : QByteArray();
    int rc = SQLITE_OK;
    const RankData* data = rankData(api, fts, prefixes, &rc);
    std::vector<double> freq(data ? data->idf.size() : 0, 0.0);
    int n = 0;
    if (data)
        rc = api->xInstCount(fts, &n);
    for (int i = 0; rc == SQLITE_OK && i < n; ++i) {
        int phrase = 0, column = 0, offset = 0;
        rc = api->xInst(fts, i, &phrase, &column, &offset);
        if (rc == SQLITE_OK && phrase >= 0 && phrase < int(freq.size()))
            freq[phrase] += 1;
    }
    int length = 0;
    if (rc == SQLITE_OK)
        rc = api->xColumnSize(fts, -1, &length);
    if (rc != SQLITE_OK) {
        sqlite3_result_error_code(out, rc);
        return;
    }
    double score = 0;
    for (size_t i = 0; i < freq.size(); ++i)
        score += data->idf[i] * (freq[i] * (k1 + 1)) / (freq[i] + k1 * (1 - b + b * length / data->averageLength));
    sqlite3_result_double(out, -score);
}

// A phrase of an index query as indexQuery writes them: where it stands
// (its closing * too), its words and whether it is a prefix.
struct Phrase {
    qsizetype from = 0, to = 0;
    QString words;
    bool prefix = false;
};

QList<Phrase> phrasesOf(const QString& match) {
    QList<Phrase> out;
    for (qsizetype i = 0; i < match.size(); ++i) {
        if (match[i] != QLatin1Char('"'))
            continue;
        Phrase p;
        p.from = i;
        for (++i; i < match.size(); ++i) {
            if (match[i] != QLatin1Char('"'))
                p.words += match[i];
            else if (i + 1 < match.size() && match[i + 1] == QLatin1Char('"'))
                p.words += match[++i]; // a doubled quote inside the phrase
            else
                break;
        }
        p.prefix = i + 1 < match.size() && match[i + 1] == QLatin1Char('*');
        p.to = i + 1 + (p.prefix ? 1 : 0);
        out << p;
    }
    return out;
}

// The words of an index that begin with a prefix, up to one more than
// kMaxExpansion; none for a prefix the index may fold otherwise than plain
// lower-case letters and digits.
constexpr int kMaxExpansion = 64;

QStringList wordsStarting(Connection& db, const QString& index, const QString& prefix) {
    for (QChar c : prefix)
        if (c.unicode() > 127 || !c.isLetterOrNumber())
            return {};
    Stmt(db, QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS temp.%1_words USING fts5vocab(main, %1, 'instance')")
                 .arg(index))
        .step();
    // One seek a word: the records a word is in are never walked.
    Stmt next(db, QStringLiteral("SELECT term FROM temp.%1_words WHERE term >= ?1 AND term < ?2 LIMIT 1").arg(index));
    QString end = prefix.toLower();
    end.back() = QChar(end.back().unicode() + 1);
    QStringList words;
    for (QString from = prefix.toLower(); words.size() <= kMaxExpansion; from = words.last() + QChar(1)) {
        next.bind(1, from);
        next.bind(2, end);
        if (!next.step())
            break;
        words << next.text(0);
        next.reset();
    }
    return words;
}

// The query with each prefix that stands for a few words of this index
// written as those words: a prefix is merged in full on every statement that
// names it, the words only as far as a statement reads. kinds gets one letter
// a phrase of the result, p for a prefix or a word standing for one (counted
// as common when ranked), w for the rest; native whether a prefix is left.
QString expandPrefixes(Connection& db, const QString& index, const QString& match, QString& kinds, bool& native) {
    QString out;
    qsizetype at = 0;
    kinds.clear();
    native = false;
    for (const Phrase& p : phrasesOf(match)) {
        out += match.mid(at, p.from - at);
        at = p.to;
        const QStringList words = p.prefix ? wordsStarting(db, index, p.words) : QStringList();
        if (words.isEmpty() || words.size() > kMaxExpansion) {
            out += match.mid(p.from, p.to - p.from);
            kinds += p.prefix ? QLatin1Char('p') : QLatin1Char('w');
            native |= p.prefix;
            continue;
        }
        // A bracket beside a word needs the AND that is otherwise implied.
        const QString before = out.trimmed();
        if (before.endsWith(QLatin1Char('"')) || before.endsWith(QLatin1Char('*')) || before.endsWith(QLatin1Char(')')))
            out += QStringLiteral("AND ");
        out += QStringLiteral("(\"") + words.join(QStringLiteral("\" OR \"")) + QStringLiteral("\")");
        const QString after = match.mid(at).trimmed();
        if (after.startsWith(QLatin1Char('"')) || after.startsWith(QLatin1Char('(')))
            out += QStringLiteral(" AND");
        kinds += QString(words.size(), QLatin1Char('p'));
    }
    return out + match.mid(at);
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
    // Words held in memory before they are written out: the engine's 1 MB
    // while building made many small runs to merge again and again (a sixth
    // of the time); its own value again afterwards, for everyday saves.
    auto pending = [&](const Indexed& t, int bytes) {
        run(db, shown, QStringLiteral("INSERT INTO %1(%1, rank) VALUES('hashsize', %2)").arg(t.index).arg(bytes));
    };
    for (const Indexed& t : indexed()) {
        pending(t, 64 << 20);
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
        pending(t, 1 << 20);
        // Merged into one run of words: a query then seeks each word once,
        // not once a run (a prefix of twenty words took nearly twice as long).
        run(db, shown, QStringLiteral("INSERT INTO %1(%1) VALUES('optimize')").arg(t.index));
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
    if (api) {
        api->xCreateFunction(api, "vc_column", nullptr, bestColumn, nullptr);
        api->xCreateFunction(api, "vc_rank", nullptr, rank, nullptr);
        api->xCreateFunction(api, "vc_window", nullptr, window, nullptr);
        api->xCreateFunction(api, "vc_rows", nullptr, rows, nullptr);
    }
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
    // The index reads a bracket beside a word only with the AND spelled out.
    auto put = [&out](const QString& token) {
        const bool closes = !out.isEmpty() && (out.last() == QLatin1String(")") || out.last().startsWith(QLatin1Char('"')));
        if (closes && (token == QLatin1String("(") || (token.startsWith(QLatin1Char('"')) && out.last() == QLatin1String(")"))))
            out << QStringLiteral("AND");
        out << token;
    };
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
            put(p);
        } else if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            depth += c == QLatin1Char('(') ? 1 : -1;
            if (depth < 0)
                return fail(QStringLiteral("A closing bracket \")\" has no opening one."));
            put(QString(c));
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
            put(phrase(word) + (prefix ? QStringLiteral("*") : QString()));
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
// The engine's snippet() weighs every stretch of a field and cost more than
// the rest of a query; the field marked by highlight() is cut here instead,
// to the stretch of kSnippetWords words holding the most different matches,
// a little before the first, never through a mark. On one line.
constexpr int kSnippetWords = 16;

QString cutSnippet(QByteArrayView marked) {
    // The words as stretches of the field's UTF-8, each with the match it is
    // in (-1 for none) and whether that match goes on into the next word.
    struct Word {
        qsizetype at, size;
        int match = -1;
        bool goesOn = false;
    };
    const char start = char(kMatchStart.unicode()), end = char(kMatchEnd.unicode());
    std::vector<Word> words;
    QStringList seen;
    qsizetype textFrom = 0;
    bool inside = false;
    size_t from = 0;
    const char* chars = marked.data();
    const qsizetype size = marked.size();
    auto isSpace = [chars](qsizetype i) { return chars[i] == ' ' || (chars[i] >= '\t' && chars[i] <= '\r'); };
    for (qsizetype i = 0; i < size;) {
        if (isSpace(i)) {
            ++i;
            continue;
        }
        Word w{i, 0};
        for (; i < size && !isSpace(i); ++i) {
            if (chars[i] == start) {
                inside = true, textFrom = i + 1, from = words.size();
            } else if (chars[i] == end && inside) {
                inside = false;
                const QString text = QString::fromUtf8(marked.sliced(textFrom, i - textFrom)).toLower();
                qsizetype id = seen.indexOf(text);
                if (id < 0)
                    id = seen.size(), seen << text;
                w.match = int(id);
                for (size_t k = from; k < words.size(); ++k)
                    words[k].match = int(id);
            }
        }
        w.size = i - w.at;
        w.goesOn = inside;
        words.push_back(w);
    }
    const int n = int(words.size());
    auto join = [&](int first, int last) { // words first..last, the cuts shown
        QByteArray out;
        for (int w = first; w <= last; ++w) {
            if (w > first)
                out += ' ';
            out += marked.sliced(words[w].at, words[w].size);
        }
        return (first > 0 ? QStringLiteral("… ") : QString()) + QString::fromUtf8(out) +
               (last < n - 1 ? QStringLiteral(" …") : QString());
    };
    if (n == 0)
        return {};
    if (n <= kSnippetWords)
        return join(0, n - 1);
    // Sliding along: how many of each match the stretch holds, and how many different.
    std::vector<int> held(seen.size(), 0);
    int different = 0;
    auto take = [&](int w, int step) {
        const int m = words[w].match;
        if (m < 0 || words[w].goesOn) // a match over several words counts once, at its end
            return;
        if (step > 0 && held[m]++ == 0)
            ++different;
        if (step < 0 && --held[m] == 0)
            --different;
    };
    for (int w = 0; w < kSnippetWords; ++w)
        take(w, 1);
    std::vector<int> nextMatch(n + 1, n);
    for (int w = n - 1; w >= 0; --w)
        nextMatch[w] = words[w].match >= 0 ? w : nextMatch[w + 1];
    int bestFrom = -1, bestScore = -1;
    for (int first = 0;; ++first) {
        const int last = first + kSnippetWords - 1;
        if (!(first > 0 && words[first - 1].goesOn) && !words[last].goesOn) {
            // More matches first, then the first match nearest the fourth word.
            const int lead = nextMatch[first] - first;
            const int score = different * 100 - (lead > last - first ? 99 : std::abs(lead - 3));
            if (score > bestScore)
                bestScore = score, bestFrom = first;
        }
        if (last + 1 >= n)
            break;
        take(first, -1);
        take(last + 1, 1);
    }
    if (bestFrom < 0) { // one match longer than a snippet: shown whole
        const int first = nextMatch[0];
        int last = first;
        while (last < n - 1 && words[last].goesOn)
            ++last;
        return join(first, last);
    }
    return join(bestFrom, bestFrom + kSnippetWords - 1);
}

// Fills the result from every kind's index; the engine's code and message on failure.
std::pair<int, QString> runQuery(Connection& db, const QString& query, int perKind, int best,
                                 SearchResult& result) {
    // Key, field and snippet of the records for which the CASE condition holds.
    auto details = [](const Indexed& t, const QString& when) {
        return QStringLiteral("%3%2 END, %3vc_column(%1) END, %3highlight(%1, vc_column(%1), char(2), char(3)) END")
            .arg(t.index, t.key, when);
    };
    auto fill = [](SearchHit& hit, const Indexed& t, Stmt& s, int at) {
        hit.key = s.text(at);
        hit.field = t.columns.value(int(s.integer(at + 1)));
        hit.snippet = cutSnippet(s.bytes(at + 2));
    };
    // A kind's pass over the index, and the hits it keeps.
    struct Pass {
        const Indexed* t;
        QString match;
        bool detailsInPass;
        QList<SearchHit> hits;
    };
    std::vector<Pass> passes;
    try {
        for (const Indexed& t : indexed()) {
            QString kinds;
            bool native = false;
            const QString match = expandPrefixes(db, t.index, query, kinds, native);
            // A prefix left costs its full work on every statement that names
            // it, anything else little once the record is known: so with one
            // the details of every record of the window come in the one pass,
            // otherwise only those of the best, looked up after it.
            const bool detailsInPass = native || perKind <= 0;
            // One pass, newest first and by number alone (cheap), over the
            // newest kRankWindow matches and one more (so a count above it
            // says "more"): the best are picked among them.
            const QString take = QStringLiteral("CASE WHEN vc_window(%1, %2) THEN ")
                                     .arg(t.index)
                                     .arg(perKind > 0 ? kRankWindow : 0);
            QString columns =
                take + QStringLiteral("vc_rank(%1, '%2') END, %3vc_rows(%1) END").arg(t.index, kinds, take);
            if (detailsInPass)
                columns += QStringLiteral(", ") + details(t, take);
            Stmt scan(db, QStringLiteral("SELECT rowid, %2 FROM %1 WHERE %1 MATCH ?1 ORDER BY rowid DESC%3")
                              .arg(t.index, columns,
                                   perKind > 0 ? QStringLiteral(" LIMIT %1").arg(kRankWindow + 1) : QString()));
            scan.bind(1, match);
            QList<SearchHit> hits;
            int n = 0, rc;
            qint64 rows = 0;
            while ((rc = scan.tryStep()) == SQLITE_ROW) {
                if (++n > kRankWindow && perKind > 0)
                    continue;
                hits.append({t.kind, scan.integer(0), {}, {}, {}, scan.real(1)});
                rows = scan.integer(2);
                if (detailsInPass)
                    fill(hits.back(), t, scan, 3);
            }
            if (rc != SQLITE_DONE)
                return {rc, scan.errorText()};
            result.counts.insert(t.kind, n);
            if (kinds.size() == 1) { // the phrase's weight, left out of the pass
                const int counted = kinds[0] == QLatin1Char('p') ? kCountCap : std::min(n, kRankWindow);
                const double idf = inverseFrequency(double(rows), counted);
                for (SearchHit& hit : hits)
                    hit.score *= idf;
            }
            // On equal scores the newer stays first.
            hits = bestFirst(std::move(hits));
            if (perKind > 0 && hits.size() > perKind)
                hits.resize(perKind);
            result.matched.insert(t.kind, match);
            passes.push_back({&t, match, detailsInPass, std::move(hits)});
        }
        if (best > 0) { // only the best of all kinds are read on
            QList<SearchHit> all;
            for (const Pass& p : passes)
                all.append(p.hits);
            all = bestFirst(std::move(all));
            QSet<QPair<int, qint64>> kept;
            for (qsizetype i = 0; i < std::min<qsizetype>(best, all.size()); ++i)
                kept.insert({int(all[i].kind), all[i].rowid});
            for (Pass& p : passes)
                p.hits.removeIf([&](const SearchHit& h) { return !kept.contains({int(h.kind), h.rowid}); });
        }
        for (Pass& p : passes) {
            int rc = SQLITE_OK;
            if (!p.detailsInPass && !p.hits.isEmpty()) {
                // The window walked again, the details read for the best alone.
                QStringList rows;
                qint64 low = p.hits.first().rowid, high = low;
                for (const SearchHit& hit : p.hits) {
                    rows << QString::number(hit.rowid);
                    low = std::min(low, hit.rowid);
                    high = std::max(high, hit.rowid);
                }
                const QString picked = QStringLiteral("CASE WHEN rowid IN (%1) THEN ").arg(rows.join(QLatin1Char(',')));
                Stmt again(db, QStringLiteral("SELECT rowid, %2 FROM %1 WHERE %1 MATCH ?1 AND rowid BETWEEN ?2 AND ?3 "
                                              "ORDER BY rowid DESC")
                                   .arg(p.t->index, details(*p.t, picked)));
                again.bind(1, p.match);
                again.bind(2, low);
                again.bind(3, high);
                QHash<qint64, SearchHit*> byRow;
                for (SearchHit& hit : p.hits)
                    byRow.insert(hit.rowid, &hit);
                while ((rc = again.tryStep()) == SQLITE_ROW)
                    if (SearchHit* hit = byRow.value(again.integer(0)))
                        fill(*hit, *p.t, again, 1);
                if (rc != SQLITE_DONE)
                    return {rc, again.errorText()};
            }
            result.hits.append(p.hits);
        }
    } catch (const DbError& e) {
        // A damaged index can fail as soon as it is named.
        return {sqlite3_extended_errcode(db.handle()), e.text()};
    }
    return {SQLITE_OK, {}};
}
} // namespace

namespace {
// Asks the index; a damaged one is built again from the records once, then
// asked again. Empty, or the index's complaint about the query for the user.
template <class Ask>
QString askIndex(Connection& db, Ask ask) {
    for (int attempt = 0;; ++attempt) {
        const auto [rc, why] = ask();
        if (rc == SQLITE_OK)
            return {};
        if (!isCorruption(rc) || attempt > 0) {
            if (why.contains(QLatin1String("fts5: syntax error")))
                return queryError(why);
            throw DbError(QStringLiteral("The case database \"%1\" could not be searched: %2").arg(db.path(), why));
        }
        rebuildSearchIndex(db);
    }
}
} // namespace

SearchResult firstHits(Connection& db, const QString& query, int perKind, int best) {
    SearchResult result;
    const QString match = indexQuery(query, &result.error);
    if (match.isEmpty())
        return result;
    auto clear = [&result] {
        result.hits.clear();
        result.counts.clear();
        result.matched.clear();
    };
    result.error = askIndex(db, [&] {
        clear();
        return runQuery(db, match, perKind, best, result);
    });
    if (!result.error.isEmpty())
        clear();
    return result;
}

void countOn(Connection& db, SearchResult& result) {
    QList<const Indexed*> more;
    for (const Indexed& t : indexed())
        if (result.counts.value(t.kind) > kRankWindow)
            more << &t;
    if (more.isEmpty())
        return;
    askIndex(db, [&]() -> std::pair<int, QString> {
        try {
            for (const Indexed* t : more) {
                Stmt count(db, QStringLiteral("SELECT count(*) FROM (SELECT rowid FROM %1 WHERE %1 MATCH ?1 "
                                              "ORDER BY rowid DESC LIMIT %2)")
                                   .arg(t->index)
                                   .arg(kCountCap + 1));
                count.bind(1, result.matched.value(t->kind));
                if (const int rc = count.tryStep(); rc != SQLITE_ROW)
                    return {rc, count.errorText()};
                result.counts.insert(t->kind, int(count.integer(0)));
            }
        } catch (const DbError& e) {
            return {sqlite3_extended_errcode(db.handle()), e.text()};
        }
        return {SQLITE_OK, {}};
    });
}

SearchResult search(Connection& db, const QString& query, int perKind) {
    SearchResult result = firstHits(db, query, perKind);
    if (result.error.isEmpty() && perKind > 0)
        countOn(db, result);
    return result;
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
