#include "records/newkey.h"

#include "store/casedb.h"
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

} // namespace veil
