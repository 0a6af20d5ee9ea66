#include "store/casekey.h"

#include "store/fileroutines.h"

namespace veil {

QString composeKey(const DateTimeParts& p, const QString& id) {
    return p.month + u'-' + p.day + u'-' + p.year + u' ' + p.hour + u':' + p.minute + u' ' + p.ap + u'-' + id;
}

QString listText(const QStringList& items) {
    QString out;
    for (const QString& item : items)
        out += item + u',';
    return out;
}

QStringList listItems(const QString& text, int pieces) {
    QStringList out;
    if (text.isEmpty())
        return out;
    // Past the last "," every piece is empty, so the walk can stop there.
    const int available = int(text.count(u',')) + 1;
    for (int k = 1; k <= std::min(pieces, available); ++k) {
        const QString piece = GetField(text, QStringLiteral(","), k);
        if (!piece.isEmpty())
            out << piece;
    }
    return out;
}

DateParts dateParts(const QDate& date) {
    return {QString::number(date.month()), QString::number(date.day()), QString::number(date.year())};
}

DateParts today() { return dateParts(QDate::currentDate()); }

namespace {
const QString kKeyField = QStringLiteral("FullDate_Time");
const QString kIdField = QStringLiteral("ID");
} // namespace

QString addKeyedRecord(Connection& db, const QString& table, const Fields& fields,
                       const DateTimeParts& parts) {
    Cursor& cursor = db.openTable(table);
    cursor.addNew();
    for (const auto& [name, value] : fields)
        cursor.setField(name, value);
    const QString key = composeKey(parts, cursor.field(kIdField));
    cursor.setField(kKeyField, key);
    cursor.update();
    cursor.close();
    return key;
}

void updateKeyedRecord(Connection& db, const QString& table, const Record& record, Fields fields,
                       const DateTimeParts& parts) {
    fields.append({kKeyField, composeKey(parts, record.text(kIdField))});
    db.updateRecord(table, record.rowid, fields);
}

} // namespace veil
