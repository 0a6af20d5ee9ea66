#include "records/newkey.h"

#include "store/ui.h"

#include <QLineEdit>

namespace veil {

bool acceptNewKey(Connection& db, const NewKeyRule& rule, QLineEdit* box) {
    const QString key = box->text();
    const QString* refusal = key == rule.modeWord                             ? &rule.modeMessage
                             : db.exists(rule.table, {{rule.field, key}}) ? &rule.takenMessage
                                                                              : nullptr;
    if (!refusal)
        return true;
    message(*refusal);
    box->setFocus();
    return false;
}

bool addNewRecord(Connection& db, const NewKeyRule& rule, QLineEdit* box, const Fields& fields) {
    if (!acceptNewKey(db, rule, box))
        return false;
    db.add(rule.table, fields);
    return true;
}

std::optional<Record> findToUpdate(Connection& db, const QString& table, const Match& match,
                                   const QString& notFound) {
    auto rec = db.findFirst(table, match);
    if (!rec)
        message(notFound);
    return rec;
}

bool rewriteRecord(Connection& db, const QString& table, const Match& match, const Fields& fields,
                   const QString& notFound) {
    const auto rec = findToUpdate(db, table, match, notFound);
    if (rec)
        db.updateRecord(table, rec->rowid, fields);
    return rec.has_value();
}

} // namespace veil
