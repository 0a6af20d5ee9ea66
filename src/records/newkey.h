#pragma once
// The checks every editor makes before it adds or rewrites a record.

#include "store/casedb.h"

#include <QString>

#include <optional>

class QLineEdit;

namespace veil {

struct NewKeyRule {
    QString table, field;
    QString modeWord;      // the window's word for a new record ("New", "Add New")
    QString modeMessage;   // said when the key is that word
    QString takenMessage;  // said when a record already has the key
};

// True when `box`'s text may be the key of a new record; otherwise the user
// has been told why and the focus is back on the box.
bool acceptNewKey(Connection& db, const NewKeyRule& rule, QLineEdit* box);
// Adds the record when acceptNewKey allows its key; false when it did not.
bool addNewRecord(Connection& db, const NewKeyRule& rule, QLineEdit* box, const Fields& fields);

// The stored record an editor is about to rewrite; when it is gone the user
// is told `notFound`, since a word of success would let the input be lost.
std::optional<Record> findToUpdate(Connection& db, const QString& table, const Match& match,
                                   const QString& notFound);
// Rewrites the record findToUpdate finds; false when it was gone.
bool rewriteRecord(Connection& db, const QString& table, const Match& match, const Fields& fields,
                   const QString& notFound);

} // namespace veil
