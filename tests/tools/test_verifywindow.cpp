#include "filebytes.h"
#include "framefixture.h"

#include "store/filehash.h"
#include "tools/verifywindow.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace veil;
using namespace veil::test;

namespace {

struct Evidence {
    Frame f;
    QTemporaryDir outside;
    std::unique_ptr<Connection> db = Connection::open(f.folder.path());

    void attach(const QString& stored, const QByteArray& bytes) { QVERIFY(attachBytes(f.folder.path(), stored, bytes)); }
    VerifyWindow* open() {
        f.dashboard()->findChild<QAction*>("verify")->trigger();
        return f.window<VerifyWindow>("VerifyWindow");
    }
    static QStringList listed(VerifyWindow* w) {
        QStringList out;
        for (int i = 0; i < w->ResultsList->topLevelItemCount(); ++i)
            out << w->ResultsList->topLevelItem(i)->text(0) + " " + w->ResultsList->topLevelItem(i)->text(1);
        return out;
    }
};

} // namespace

class VerifyWindowTest : public QObject {
    Q_OBJECT
private slots:
    void listsRecordsAndSaves() {
        Evidence t;
        t.attach("\\Investigations\\17\\Cellar door.jpg", "cellar");
        t.attach("\\Investigations\\17\\Attic.jpg", "attic");
        t.attach("\\locations\\Old Mill.jpg", "mill");
        writeFileBytes(t.f.folder.file("Investigations/17/Attic.jpg"), "attic!");
        QFile::remove(t.f.folder.file("locations/Old Mill.jpg"));
        writeFileBytes(t.f.folder.file("Investigations/4/Add.jpg"), "from an older case");

        VerifyWindow* w = t.open();
        QTRY_VERIFY(w && !w->running());
        QCOMPARE(Evidence::listed(w), (QStringList{"changed \\Investigations\\17\\Attic.jpg",
                                                   "ok \\Investigations\\17\\Cellar door.jpg",
                                                   "missing \\locations\\Old Mill.jpg",
                                                   "unrecorded \\Investigations\\4\\Add.jpg"}));
        QCOMPARE(w->SummaryLabel->text(), QStringLiteral("4 files: 1 ok, 1 changed, 1 missing, 1 unrecorded."));
        QCOMPARE(w->VerifyProgress->value(), w->VerifyProgress->maximum());

        // Recording asks first; no leaves everything as it was.
        t.f.ui.setNextAnswer(false);
        w->RecordButton->click();
        QCOMPARE(t.f.ui.questions.size(), 1);
        QVERIFY(!recordedFile(*t.db, "\\Investigations\\4\\Add.jpg"));
        t.f.ui.setNextAnswer(true);
        w->RecordButton->click();
        QVERIFY(recordedFile(*t.db, "\\Investigations\\4\\Add.jpg"));
        QVERIFY(Evidence::listed(w).contains("ok \\Investigations\\4\\Add.jpg"));
        QVERIFY(!w->RecordButton->isEnabled());

        const QString manifest = t.outside.filePath("manifest.csv");
        t.f.ui.setNextSaveFileName(manifest);
        w->SaveManifestButton->click();
        const QStringList lines = QString::fromUtf8(fileBytes(manifest)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines.at(1).startsWith("\\Investigations\\17\\Attic.jpg,5,") && lines.at(1).endsWith(",changed"));
    }

    void closesWhileVerifying() {
        Evidence t;
        for (int i = 0; i < 8; ++i)
            t.attach(QStringLiteral("\\Investigations\\17\\%1.jpg").arg(i), QByteArray(1 << 20, char(i)));
        VerifyWindow* w = t.open();
        w->CancelButton->click();
        QTRY_VERIFY(!w->running());
        w->VerifyButton->click();
        QVERIFY(w->unload()); // waits for the hashing threads, whatever they were doing
        Frame::flush();
        QVERIFY(!t.f.frame->loaded("VerifyWindow"));
    }
};

QTEST_MAIN(VerifyWindowTest)
#include "test_verifywindow.moc"
