#include "filebytes.h"
#include "shell/dashboardwindow.h"
#include "shell/mainframe.h"
#include "programfolder.h"
#include "registerall.h"
#include "testui.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {
} // namespace

class JetOfferTest : public QObject {
    Q_OBJECT
  private slots:
    // Start-up with the older Windows version's case file in the program folder.
    void startUpOffersTheImport_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void startUpOffersTheImport() {
        QFETCH(bool, yes);
        registerAll();
        ProgramFolder pf;
        TestUi ui;
        QFile::remove(pf.databasePath());
        QVERIFY(QFile::copy(sharedTestData() + "/jet/case_jet4.mdb", pf.databasePath()));
        QFile::setPermissions(pf.databasePath(), QFile::ReadOwner | QFile::WriteOwner);
        const QByteArray jet = fileBytes(pf.databasePath());
        const QString kept = pf.file(QStringLiteral("Veilcase (Windows version).mdb"));
        ui.setNextAnswer(yes);

        MDIForm1 frame(pf.path());
        frame.setAttribute(Qt::WA_DeleteOnClose, false);
        frame.show();
        frame.loadFrame();
        QCOMPARE(ui.questions.size(), 1);
        QVERIFY(ui.questions[0].text.contains(QLatin1String("\"Veilcase (Windows version).mdb\"")));
        auto* dashboard = frame.loadedAs<Form2>(QStringLiteral("Form2"));
        if (!yes) {
            QVERIFY(!dashboard);
            QCOMPARE(fileBytes(pf.databasePath()), jet);
            QVERIFY(!QFile::exists(kept));
            QVERIFY2(ui.lastText().contains(QLatin1String("must be imported first")),
                     qPrintable(ui.lastText()));
            return;
        }
        QCOMPARE(fileBytes(kept), jet);
        QVERIFY2(ui.lastText().contains(kept), qPrintable(ui.lastText()));
        QVERIFY(
            ui.lastText().contains(QLatin1String("3 locations, 4 investigations, 3 interviews")));
        QVERIFY(dashboard);
        for (const char* name : {"Old Mill", "old mill"})
            QVERIFY(dashboard->Combo1->findText(QLatin1String(name),
                                                Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0);
    }
};

QTEST_MAIN(JetOfferTest)
#include "test_jetoffer.moc"
