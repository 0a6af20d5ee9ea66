#include "casedb.h"
#include "form2.h"
#include "mdiform1.h"
#include "programfolder.h"
#include "testui.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

using namespace veil;
using namespace veil::test;

namespace {
QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct JetFolder {
    ProgramFolder pf;
    TestUi ui;
    QByteArray jet;
    JetFolder() {
        registerAll();
        QFile::remove(pf.databasePath());
        QFile::copy(sharedTestData() + QStringLiteral("/jet/case_jet4.mdb"), pf.databasePath());
        QFile::setPermissions(pf.databasePath(), QFile::ReadOwner | QFile::WriteOwner);
        jet = bytes(pf.databasePath());
    }
    // Starts the main frame the way the splash does and returns its dashboard.
    Form2* start(MDIForm1*& frame) {
        frame = new MDIForm1(pf.path());
        frame->show();
        frame->loadFrame();
        return frame->loadedAs<Form2>(QStringLiteral("Form2"));
    }
};
} // namespace

class JetOfferTest : public QObject {
    Q_OBJECT
  private slots:
    void yesImportsBeforeTheDashboardOpens() {
        JetFolder f;
        f.ui.setNextAnswer(true);
        MDIForm1* frame = nullptr;
        Form2* dashboard = f.start(frame);
        QCOMPARE(f.ui.questions.size(), 1);
        QVERIFY(
            f.ui.questions[0].text.contains(QLatin1String("\"Veilcase (Windows version).mdb\"")));
        const QString kept = f.pf.file(QStringLiteral("Veilcase (Windows version).mdb"));
        QCOMPARE(bytes(kept), f.jet);
        QVERIFY2(f.ui.lastText().contains(kept), qPrintable(f.ui.lastText()));
        QVERIFY(
            f.ui.lastText().contains(QLatin1String("3 locations, 4 investigations, 3 interviews")));
        QVERIFY(dashboard);
        QVERIFY(dashboard->Combo1->findText(QStringLiteral("old mill"),
                                            Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0);
        QVERIFY(dashboard->Combo1->findText(QStringLiteral("Old Mill"),
                                            Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0);
        delete frame;

        // The next start finds a case database and asks nothing.
        f.ui.clear();
        f.ui.questions.clear();
        QVERIFY(f.start(frame));
        QVERIFY(f.ui.questions.isEmpty());
        delete frame;
    }

    void noLeavesTheOldFileAsItIs() {
        JetFolder f;
        f.ui.setNextAnswer(false);
        MDIForm1* frame = nullptr;
        QVERIFY(!f.start(frame));
        QCOMPARE(bytes(f.pf.databasePath()), f.jet);
        QVERIFY(!QFile::exists(f.pf.file(QStringLiteral("Veilcase (Windows version).mdb"))));
        QVERIFY2(f.ui.lastText().contains(QLatin1String("must be imported first")),
                 qPrintable(f.ui.lastText()));
        delete frame;
    }
};

QTEST_MAIN(JetOfferTest)
#include "test_jetoffer.moc"
