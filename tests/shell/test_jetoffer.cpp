#include "filebytes.h"
#include "framefixture.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

using namespace veil;
using namespace veil::test;

// Start-up with the older Windows version's case file in the program folder.
class JetOfferTest : public QObject {
    Q_OBJECT
private slots:
    void startUpOffersTheImport_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("told");
        QTest::newRow("yes") << true << "3 locations, 4 investigations, 3 interviews";
        QTest::newRow("no") << false << "must be imported first";
    }
    void startUpOffersTheImport() {
        QFETCH(bool, yes);
        QFETCH(QString, told);
        const QByteArray jet = fileBytes(sharedTestData() + "/jet/case_jet4.mdb");
        Frame f([&](Frame& f) {
            QVERIFY(writeFileBytes(f.folder.databasePath(), jet));
            f.ui.setNextAnswer(yes);
        });
        const QString kept = f.folder.file(QStringLiteral("Veilcase (Windows version).mdb"));
        QCOMPARE(f.ui.questions.size(), 1);
        QVERIFY(f.ui.questions[0].text.contains(QLatin1String("\"Veilcase (Windows version).mdb\"")));
        QVERIFY2(f.ui.lastText().contains(told) && (!yes || f.ui.lastText().contains(kept)),
                 qPrintable(f.ui.lastText()));
        // Declined, the file stays where it was and no dashboard opens on it.
        QCOMPARE(fileBytes(yes ? kept : f.folder.databasePath()), jet);
        QCOMPARE(QFile::exists(kept), yes);
        QCOMPARE(bool(f.dashboard()), yes);
        for (const char* name : {"Old Mill", "old mill"})
            QVERIFY(!yes || f.dashboard()->Combo1->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0);
    }
};

QTEST_MAIN(JetOfferTest)
#include "test_jetoffer.moc"
