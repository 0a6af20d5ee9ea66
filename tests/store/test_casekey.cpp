#include "casekey.h"

#include <QLocale>
#include <QTest>

using namespace veil;

class CaseKeyTest : public QObject {
    Q_OBJECT
private slots:
    void keysHoldThePartsAsTyped() {
        QCOMPARE(composeKey({"10", "31", "2005", "11", "45", "pm"}, "17"), QStringLiteral("10-31-2005 11:45 pm-17"));
        QCOMPARE(composeKey({"1", "2", "06", "9", "5", "am"}, "3"), QStringLiteral("1-2-06 9:5 am-3"));
        QCOMPARE(composeKey({" 1", "02", "x", "", "", ""}, "4"), QStringLiteral(" 1-02-x : -4"));
    }

    void listsRoundTripAndSkipEmptyPieces() {
        QCOMPARE(listText({"Ann", "Bob"}), QStringLiteral("Ann,Bob,"));
        QCOMPARE(listText({"Ann"}), QStringLiteral("Ann,"));
        QCOMPARE(listText({}), QString());
        QCOMPARE(listItems("Ann,Bob,", 10), (QStringList{"Ann", "Bob"}));
        QCOMPARE(listItems(",Ann,,Bob", 10), (QStringList{"Ann", "Bob"}));
        QCOMPARE(listItems("", 10), QStringList());
        // Only the first pieces count.
        QCOMPARE(listItems("a,b,c,d,", 2), (QStringList{"a", "b"}));
        QCOMPARE(listItems("a,,c,d,", 3), (QStringList{"a", "c"}));
        // A value without a separator is one item, not the same item again and again.
        QCOMPARE(listItems("Tape 1", 100), QStringList{"Tape 1"});
        QStringList many;
        for (int i = 0; i < 150; ++i)
            many << QString::number(i);
        QCOMPARE(listItems(listText(many), 100), many.mid(0, 100));
    }

    void datesAreUnpaddedNumbersWhateverTheLocale() {
        const DateParts p = dateParts(QDate(2026, 12, 5));
        QCOMPARE(p.month, QStringLiteral("12"));
        QCOMPARE(p.day, QStringLiteral("5"));
        QCOMPARE(p.year, QStringLiteral("2026"));
        QCOMPARE(dateParts(QDate(2009, 1, 31)).month, QStringLiteral("1"));

        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QDate before = QDate::currentDate();
        const DateParts t = today();
        const QDate after = QDate::currentDate();
        QLocale::setDefault(QLocale::c());
        const QString shown = t.month + u'/' + t.day + u'/' + t.year;
        QVERIFY2(shown == before.toString("M/d/yyyy") || shown == after.toString("M/d/yyyy"), qPrintable(shown));
    }
};

QTEST_GUILESS_MAIN(CaseKeyTest)
#include "test_casekey.moc"
