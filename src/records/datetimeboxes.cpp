#include "records/datetimeboxes.h"

#include "widgets/controls.h"

#include <QLineEdit>

namespace veil {

void DateTimeBoxes::build(QWidget* frame) {
    // Positions in twips inside the frame; two lines of boxes.
    constexpr int dateTop = 360, timeTop = 840, h = 315;
    makeLabel(frame, QStringLiteral("Label1"), QStringLiteral("Date:"), twRect(120, dateTop + 30, 600, 255));
    month = makeTextBox(frame, QStringLiteral("Text1"), twRect(720, dateTop, 405, h), 2);
    makeLabel(frame, QStringLiteral("Label2"), QStringLiteral("-"), twRect(1170, dateTop + 30, 120, 255));
    day = makeTextBox(frame, QStringLiteral("Text2"), twRect(1290, dateTop, 405, h), 2);
    makeLabel(frame, QStringLiteral("Label3"), QStringLiteral("-"), twRect(1740, dateTop + 30, 120, 255));
    year = makeTextBox(frame, QStringLiteral("Text3"), twRect(1860, dateTop, 585, h), 4);

    makeLabel(frame, QStringLiteral("Label4"), QStringLiteral("Time:"), twRect(120, timeTop + 30, 600, 255));
    hour = makeTextBox(frame, QStringLiteral("Text4"), twRect(720, timeTop, 405, h), 2);
    makeLabel(frame, QStringLiteral("Label5"), QStringLiteral(":"), twRect(1170, timeTop + 30, 120, 255));
    minute = makeTextBox(frame, QStringLiteral("Text5"), twRect(1290, timeTop, 405, h), 2);
    ap = makeTextBox(frame, QStringLiteral("Text6"), twRect(1860, timeTop, 585, h), 2);
    ap->setText(QStringLiteral("pm"));
}

DateTimeParts DateTimeBoxes::parts() const {
    return {month->text(), day->text(), year->text(), hour->text(), minute->text(), ap->text()};
}

void DateTimeBoxes::setParts(const DateTimeParts& p) {
    month->setText(p.month);
    day->setText(p.day);
    year->setText(p.year);
    hour->setText(p.hour);
    minute->setText(p.minute);
    ap->setText(p.ap);
}

Fields DateTimeBoxes::fields() const {
    return {{QStringLiteral("Date_Month"), month->text()}, {QStringLiteral("Date_Day"), day->text()},
            {QStringLiteral("Date_Year"), year->text()},   {QStringLiteral("Time_Hour"), hour->text()},
            {QStringLiteral("Time_Min"), minute->text()},  {QStringLiteral("Time_AP"), ap->text()}};
}

void DateTimeBoxes::setParts(const Record& r) {
    const auto f = [&r](const char* name) { return r.text(QLatin1String(name)); };
    setParts({f("Date_Month"), f("Date_Day"), f("Date_Year"), f("Time_Hour"), f("Time_Min"), f("Time_AP")});
}

void DateTimeBoxes::setDate(const DateParts& date) {
    month->setText(date.month);
    day->setText(date.day);
    year->setText(date.year);
}

void DateTimeBoxes::setLocked(bool locked) {
    for (QLineEdit* box : boxes())
        box->setReadOnly(locked);
}

bool DateTimeBoxes::isLocked() const { return month->isReadOnly(); }

} // namespace veil
