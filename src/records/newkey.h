#pragma once
// The checks every editor makes on the key of a record it is about to add.

#include <QString>

class QLineEdit;

namespace veil {

class Connection;

struct NewKeyRule {
    QString table, field;
    QString modeWord;      // the window's word for a new record ("New", "Add New")
    QString modeMessage;   // said when the key is that word
    QString takenMessage;  // said when a record already has the key
};

// True when `box`'s text may be the key of a new record; otherwise the user
// has been told why and the focus is back on the box.
bool acceptNewKey(Connection& db, const NewKeyRule& rule, QLineEdit* box);

} // namespace veil
