#pragma once

#include "store/casedb.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace veil {

// The date and time of an investigation or interview, each part exactly as typed.
struct DateTimeParts {
    QString month, day, year, hour, minute, ap;
};

// The key FullDate_Time: "month-day-year hour:minute ap-ID". Nothing is
// trimmed or padded, so the key shows what the user typed.
QString composeKey(const DateTimeParts& parts, const QString& id);

// Adds a record to Investigations or Interview with its key composed from
// `parts` and the number the record gets; returns the key once it is stored.
QString addKeyedRecord(Connection& db, const QString& table, const Fields& fields,
                       const DateTimeParts& parts);
// Rewrites a found record; its key is composed again from `parts` and the
// record's own unchanged number.
void updateKeyedRecord(Connection& db, const QString& table, const Record& record, Fields fields,
                       const DateTimeParts& parts);

// A list field: every item followed by one ",", in the given order.
QString listText(const QStringList& items);
// The non-empty items among the first `pieces` pieces of a list field.
QStringList listItems(const QString& text, int pieces);

// Today's month, day and year as unpadded numbers ("12", "5", "2026"), the
// way a month/day/year short date writes them, whatever the locale.
struct DateParts {
    QString month, day, year;
};
DateParts dateParts(const QDate& date);
DateParts today();

} // namespace veil
