#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

struct sqlite3;

namespace veil {

class Connection;

// The full-text index over every text field of the case file: one index per
// kind of record, kept in step by triggers in the file itself, so a record
// written by any SQLite writer is found. Words are matched without regard to
// case or accents ("Ceilidh" finds "céilidh").
enum class HitKind { Location, Investigation, Interview, Investigator, Equipment, Picture, Evidence };
const QList<HitKind>& hitKinds(); // in the order results are shown
QString kindName(HitKind kind);   // "location", as veilcase-cli writes it
QString kindTitle(HitKind kind);  // "Location", as the Search window shows it

// How far a long build of the index is: rows done of all rows.
using IndexProgress = std::function<void(qint64 done, qint64 total)>;
// What the program shows while the index is built on opening a file; nothing
// by default (veilcase-cli, tests).
void setIndexProgress(IndexProgress progress);

// Creates the index afresh (its tables and triggers) and fills it from the
// records, inside the caller's transaction. Throws DbError.
void buildSearchIndex(sqlite3* db, const QString& shownPath, const IndexProgress& progress = {});
// True when every table and trigger of the index is in the file and each
// index opens.
bool hasSearchIndex(sqlite3* db);
// Empty when the index holds exactly what the records hold, otherwise what is
// wrong. Reads the whole index: for checks, not for every open.
QString searchIndexProblem(sqlite3* db);
// Builds the index again in its own transaction. Throws DbError.
void rebuildSearchIndex(Connection& db, const IndexProgress& progress = {});
// Makes the index's helper functions known on a connection.
void registerSearchFunctions(sqlite3* db);

// Snippets mark the matched words with these.
inline constexpr QChar kMatchStart = QChar(0x02);
inline constexpr QChar kMatchEnd = QChar(0x03);

struct SearchHit {
    HitKind kind = HitKind::Location;
    qint64 rowid = 0;
    QString key;     // the record's key
    QString field;   // the field that matched best
    QString snippet; // words around the match, on one line, matches between the marks
    double score = 0; // lower is better
};

// A query listing a few hits per kind stays quick however many records
// match: the best are picked among the newest kRankWindow matches of a kind,
// and the count goes on up to kCountCap (a count above either means "more").
inline constexpr int kCountCap = 1000;
inline constexpr int kRankWindow = 200;

struct SearchResult {
    QString error;              // the query could not be understood: why, for the user
    QList<SearchHit> hits;      // per kind best first, kinds in the order of hitKinds()
    QHash<HitKind, int> counts; // matches per kind, also beyond those listed
    QHash<HitKind, QString> matched; // each kind's query as its index read it (for countOn)
    int total() const;
};

// The user's query in the index's own syntax: words, prefix*, "a phrase",
// OR, NOT and parentheses; anything else is taken as words, so "10:30" or an
// e-mail address is a phrase. Empty with `error` set when it cannot be read.
QString indexQuery(const QString& query, QString* error);

// Runs a query: up to `perKind` hits of each kind, best first within the
// kind, each kind counted as far as kRankWindow + 1; with 0, every hit and
// exact counts, however long that takes. With `best` above 0 only the best
// that many of all kinds together are kept (the rest never read on). A
// damaged index is built again once, then asked again.
SearchResult firstHits(Connection& db, const QString& query, int perKind = 100, int best = 0);
// Counts on, up to kCountCap + 1, the kinds of a result of firstHits (with
// perKind above 0) that found more than kRankWindow: the slow part of a
// common word, left for after the hits are shown.
void countOn(Connection& db, SearchResult& result);
// Both.
SearchResult search(Connection& db, const QString& query, int perKind = 100);
// All kinds merged, best first.
QList<SearchHit> bestFirst(QList<SearchHit> hits);

// The snippet with its marks replaced; HTML-escaped first when asked.
QString markSnippet(const QString& snippet, const QString& open, const QString& close, bool html = false);

// Where a hit's record sits in the dashboard's lists: a location, then its
// investigation, then the interview or picture (empty where not needed).
struct RecordPlace {
    QString location, investigation, interview, picture;
};
RecordPlace placeOf(Connection& db, const SearchHit& hit);

} // namespace veil
