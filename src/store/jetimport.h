#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace veil {

// One table of a Jet file read whole: every value as UTF-8 text, a value the
// file holds as null kept as null (so it stays apart from empty text).
struct JetTable {
    QString name;                              // as the file spells it
    QStringList columns;                       // the columns asked for, in that order
    QList<QList<std::optional<QString>>> rows; // in stored order; deleted records skipped
    qint64 autoNumberCounter = 0;              // the file's own auto number counter; 0 when none
};

// Read-only access to a Jet 3 or Jet 4 database file (the older Windows
// version's case file). The file is opened for reading only and never changed.
// Every failure throws DbError with a text for the user.
class JetFile {
  public:
    explicit JetFile(const QString& path);
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    const QString& path() const;
    // The user tables, in catalog order.
    QStringList tableNames() const;
    // The table of that name, matched without regard to case; empty when none.
    QString findTable(const QString& name) const;
    // Its columns in design order.
    QStringList columns(const QString& table) const;
    // The rows of the listed columns (all when empty); names match without regard to case.
    JetTable read(const QString& table, const QStringList& columns = {}) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

struct ImportResult {
    bool ok = false;
    QString error;  // for the user: what is missing or failed; nothing was changed
    QString keptAs; // where the untouched old file is kept, when it had to make room
    QList<QPair<QString, int>> records; // per case table: records imported
};

// Imports an old Jet case file into a new case database written to `outPath`.
// The new database starts as a copy of `cleanDbPath` and receives every record
// of the six tables in stored order, values as text, nulls as nulls, and the
// auto numbers as they were; the next auto number is above every imported one.
// `outPath` is only replaced (atomically) once everything has been read and
// written. When `outPath` is the Jet file itself, the Jet file is first kept
// beside it under a new name (see keptJetPath), untouched. Nothing is asked or
// shown; on failure everything stays as it was and `error` says why.
ImportResult importJet(const QString& jetPath, const QString& cleanDbPath, const QString& outPath);

// The free name beside `jetPath` under which the old file is kept:
// "Veilcase (Windows version).mdb", then "Veilcase (Windows version 2).mdb", ...
QString keptJetPath(const QString& jetPath);

} // namespace veil
