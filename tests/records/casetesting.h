#pragma once

// Helpers shared by the investigation and interview window tests.

#include "framefixture.h"

#include "casekey.h"
#include "imagebutton.h"
#include "marklist.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

namespace veil::test {

// Runs the whole test program under a German locale, whose short date is
// 06.12.26: today's date must not depend on it.
inline void useGermanLocale() {
    qputenv("LC_ALL", "de_DE.UTF-8");
    qputenv("LANG", "de_DE.UTF-8");
}
inline void applyGermanLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

#define VEIL_GERMAN_TEST_MAIN(TestClass)                                                                     \
    int main(int argc, char** argv) {                                                                        \
        veil::test::useGermanLocale();                                                                       \
        QApplication app(argc, argv);                                                                        \
        veil::test::applyGermanLocale();                                                                     \
        TestClass t;                                                                                         \
        return QTest::qExec(&t, argc, argv);                                                                 \
    }

// A roster of five (one inactive, one written in lower case) and three items.
inline void seedRoster(Connection& db) {
    for (const char* name : {"Eve", "Ann", "bob", "Dee", "Cid"})
        db.add(tables::investigators,
               {{"Name", QLatin1String(name)}, {"Active", QLatin1String(name) == QLatin1String("Dee") ? "0" : "1"}});
    for (const char* nick : {"Recorder A", "EMF", "Cam 1"})
        db.add(tables::equipment, {{"Nick_Name", QLatin1String(nick)}});
}

inline void seedLocation(Connection& db, const QString& name = QStringLiteral("Old Mill")) {
    db.add(tables::location, {{"LocationName", name}});
}

// A stored investigation with its date, time and composed key; returns the key.
inline QString seedInvestigation(Connection& db, const QString& location, const DateTimeParts& p,
                                 const Fields& more = {}) {
    Fields fields{{"Location", location}, {"Date_Month", p.month}, {"Date_Day", p.day},
                  {"Date_Year", p.year},  {"Time_Hour", p.hour},   {"Time_Min", p.minute},
                  {"Time_AP", p.ap}};
    fields += more;
    const qint64 id = db.add(tables::investigations, fields);
    const QString key = composeKey(p, QString::number(id));
    db.updateRecord(tables::investigations, id, {{"FullDate_Time", key}});
    return key;
}

inline QStringList entries(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

inline QStringList marked(const MarkList* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        if (list->isMarked(i))
            out << list->item(i)->text();
    return out;
}

// Marks or unmarks an entry as the user does: a click on it, or on its check box.
inline void clickEntry(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(found.size() == 1, qPrintable(text));
    list->scrollToItem(found.first());
    const QRect r = list->visualItemRect(found.first());
    QPoint at = r.center();
    if (found.first()->flags() & Qt::ItemIsUserCheckable) {
        QStyleOptionViewItem opt;
        opt.initFrom(list);
        opt.rect = r;
        opt.features |= QStyleOptionViewItem::HasCheckIndicator;
        at = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, list).center();
    }
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
}

// The dashboard again, loaded afresh so that it lists what was seeded since.
inline Form2* reloadDashboard(Frame& f) {
    f.frame->unload(QStringLiteral("Form2"));
    Frame::flush();
    f.frame->show(QStringLiteral("Form2"));
    return f.dashboard();
}

// Chooses an entry of a dashboard list as the user does.
inline void choose(QComboBox* box, const QString& text) {
    const int i = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(i >= 0, qPrintable(text));
    box->setCurrentIndex(i);
    emit box->activated(i);
}

inline void press(ImageButton* b) {
    QTest::mousePress(b, Qt::LeftButton);
    QTest::mouseRelease(b, Qt::LeftButton);
}

inline void typeInto(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
}

inline void menu(QWidget* window, const char* item) {
    auto* a = window->findChild<QAction*>(QLatin1String(item));
    QVERIFY2(a, item);
    a->trigger();
}

inline QStringList menuItems(QWidget* window, const char* menuName) {
    QStringList out;
    auto* m = window->findChild<QMenu*>(QLatin1String(menuName));
    if (!m)
        return out;
    for (QAction* a : m->actions())
        out << a->objectName() + u'=' + (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

inline bool isToday(const DateParts& shown) {
    // Either side of a midnight passing during the test.
    const QDate now = QDate::currentDate();
    for (const QDate& d : {now, now.addDays(-1)}) {
        const DateParts p = dateParts(d);
        if (p.month == shown.month && p.day == shown.day && p.year == shown.year)
            return true;
    }
    return false;
}

inline Record investigation(Connection& db, const QString& key) {
    const auto r = db.findFirst(tables::investigations, {{"FullDate_Time", key}});
    return r ? *r : Record{};
}

} // namespace veil::test
