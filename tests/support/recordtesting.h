#pragma once

// Helpers shared by the record editors' tests (tests/records).

#include "framefixture.h"

#include "store/casekey.h"
#include "records/datetimeboxes.h"
#include "widgets/imagebutton.h"
#include "records/marklist.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QLineEdit>
#include <QStyle>
#include <QTextEdit>

// The whole test program runs under a German locale (short date 06.12.26):
// today's date must not depend on it.
#define VEIL_GERMAN_TEST_MAIN(TestClass)                                                                     \
    int main(int argc, char** argv) {                                                                        \
        qputenv("LC_ALL", "de_DE.UTF-8");                                                                    \
        qputenv("LANG", "de_DE.UTF-8");                                                                      \
        QApplication app(argc, argv);                                                                        \
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));                                     \
        TestClass t;                                                                                         \
        return QTest::qExec(&t, argc, argv);                                                                 \
    }

namespace veil::test {

// A location, a roster of five (Dee inactive, bob in lower case) and three items.
inline void seedCase(Connection& db) {
    db.add(tables::location, {{"LocationName", "Old Mill"}});
    for (const char* name : {"Eve", "Ann", "bob", "Dee", "Cid"})
        db.add(tables::investigators, {{"Name", name}, {"Active", QLatin1String(name) == "Dee" ? "0" : "1"}});
    for (const char* nick : {"Recorder A", "EMF", "Cam 1"})
        db.add(tables::equipment, {{"Nick_Name", nick}});
}

// For a frame over that case: Frame f(withCase).
inline void withCase(Frame& f) { seedCase(*Connection::open(f.folder.path())); }

// A stored record with its date, time and composed key; returns the key.
inline QString seedKeyed(Connection& db, const QString& table, const DateTimeParts& p, const Fields& more) {
    const qint64 id = db.add(table, Fields{{"Location", "Old Mill"}, {"Date_Month", p.month}, {"Date_Day", p.day},
                                           {"Date_Year", p.year}, {"Time_Hour", p.hour}, {"Time_Min", p.minute},
                                           {"Time_AP", p.ap}} + more);
    const QString key = composeKey(p, QString::number(id));
    db.updateRecord(table, id, {{"FullDate_Time", key}});
    return key;
}

// The first record whose field holds the value; a missing one fails the test.
inline Record stored(Frame& f, const QString& table, const QString& value,
                     const QString& field = QStringLiteral("FullDate_Time")) {
    const auto r = Connection::open(f.folder.path())->findFirst(table, {{field, value}});
    if (!r)
        QTest::qFail(qPrintable(table + ": no " + value), __FILE__, __LINE__);
    return r.value_or(Record{});
}
inline int count(Frame& f, const QString& table) { return Connection::open(f.folder.path())->count(table); }

inline QStringList entries(const QListWidget* list, bool onlyMarked = false) {
    QStringList out;
    const auto* m = qobject_cast<const MarkList*>(list);
    for (int i = 0; i < list->count(); ++i)
        if (!onlyMarked || m->isMarked(i))
            out << list->item(i)->text();
    return out;
}
inline QStringList marked(const MarkList* list) { return entries(list, true); }

// Marks or unmarks an entry as the user does: a click on it, or on its check box.
inline void clickEntry(QListWidget* list, const QString& text) {
    QListWidgetItem* it = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive).value(0);
    QVERIFY2(it, qPrintable(text));
    QStyleOptionViewItem opt;
    opt.initFrom(list);
    opt.rect = list->visualItemRect(it);
    opt.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QPoint at = (it->flags() & Qt::ItemIsUserCheckable)
        ? list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, list).center()
        : opt.rect.center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

// The dashboard loaded afresh (so it lists what was seeded), with its lists chosen as given.
inline Form2* dashboardOn(Frame& f, const QStringList& choices) {
    f.frame->unload(QStringLiteral("Form2"));
    Frame::flush();
    f.frame->show(QStringLiteral("Form2"));
    Form2* d = f.dashboard();
    QComboBox* lists[] = {d->Combo1, d->Combo2, d->Combo3};
    for (int i = 0; i < choices.size(); ++i)
        choose(lists[i], choices[i]);
    return d;
}

inline void typeInto(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
}

inline void typeDateTime(const DateTimeBoxes& b, const DateTimeParts& p) {
    const QString texts[] = {p.month, p.day, p.year, p.hour, p.minute, p.ap};
    for (int i = 0; i < 6; ++i)
        typeInto(b.boxes()[i], texts[i]);
}

inline void paste(QLineEdit* box, const QString& text) {
    QApplication::clipboard()->setText(text);
    QTest::keySequence(box, QKeySequence::Paste);
}

inline QString shownDate(const DateTimeBoxes& b) {
    return b.month->text() + u'/' + b.day->text() + u'/' + b.year->text();
}

// Today's date in the boxes (either side of a midnight passing during the test).
inline bool showsToday(const DateTimeBoxes& b) {
    const QDate now = QDate::currentDate();
    return shownDate(b) == now.toString("M/d/yyyy") || shownDate(b) == now.addDays(-1).toString("M/d/yyyy");
}

} // namespace veil::test
