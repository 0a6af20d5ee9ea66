#pragma once

#include "store/casekey.h"

#include <QList>

class QLineEdit;
class QWidget;

namespace veil {

// The date and time lines of an investigation or interview, built inside the
// window's date frame:
//   Label1 "Date:"  Text1 month (2) Label2 "-" Text2 day (2) Label3 "-" Text3 year (4)
//   Label4 "Time:"  Text4 hour (2)  Label5 ":" Text5 minute (2)  Text6 AM/PM (2, "pm")
// The limits also cut text the program puts into a box.
class DateTimeBoxes {
public:
    // Makes the labels and boxes inside the frame.
    void build(QWidget* frame);

    QLineEdit* month = nullptr;
    QLineEdit* day = nullptr;
    QLineEdit* year = nullptr;
    QLineEdit* hour = nullptr;
    QLineEdit* minute = nullptr;
    QLineEdit* ap = nullptr;

    // Month, day, year, hour, minute, AM/PM: the focus and locking order.
    QList<QLineEdit*> boxes() const { return {month, day, year, hour, minute, ap}; }
    // The boxes as the first stops of a window's focus order, then `rest`.
    QList<QWidget*> focusOrderWith(const QList<QWidget*>& rest) const {
        return QList<QWidget*>{month, day, year, hour, minute, ap} + rest;
    }
    DateTimeParts parts() const;
    void setParts(const DateTimeParts& parts);
    // The six fields Date_Month .. Time_AP of a stored investigation or
    // interview: written from the boxes, shown from a record.
    Fields fields() const;
    void setParts(const Record& record);
    void setDate(const DateParts& date);
    // Locked boxes keep their text: the key of a stored record is built from it.
    void setLocked(bool locked);
    bool isLocked() const;
};

} // namespace veil
