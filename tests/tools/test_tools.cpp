#include "filebytes.h"
#include "framefixture.h"

#include "shell/windowregistry.h"
#include "store/databasefiles.h"
#include "store/filehash.h"
#include "store/fileroutines.h"
#include "tools/confirmwindow.h"
#include "tools/databasetoolswindow.h"
#include "tools/verifywindow.h"
#include "widgets/imagebutton.h"

#include <QFileSystemWatcher>
#include <QMdiArea>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <sqlite3.h>

using namespace veil;
using namespace veil::test;

namespace {

// An editor stand-in: holds a connection from load to unload and notes which
// file had the database's name when it let go.
class TestEditor : public CaseWindow {
    Q_OBJECT
public:
    explicit TestEditor(MDIForm1& f) : CaseWindow(f, "TestEditor") { setCaption("Test Editor"); }
    void load() override { openDatabase(); }
    void unloaded() override { fileAtUnload = fileIdentity(db().path()); }
    static inline FileIdentity fileAtUnload;
};

void addLocations(const QString& path, int n, const QString& prefix) {
    auto db = Connection::openFile(path);
    sqlite3_exec(db->handle(), "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < n; ++i)
        db->add(tables::location, {{"LocationName", n == 1 ? prefix : prefix + QString::number(i)},
                                   {"Background", QString(1500, u'b')}});
    sqlite3_exec(db->handle(), "COMMIT", nullptr, nullptr, nullptr);
}

// Descriptors of this process still open on a database file that was replaced.
QStringList openReplacedFiles() {
    QStringList out;
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files))
        if (fd.symLinkTarget().contains(QLatin1String("Veilcase.mdb (deleted)")))
            out << fd.symLinkTarget();
    return out;
}

enum Tool { BackUp, Restore, Clean };

ConfirmWindow* confirmation(Frame& f, Tool tool) {
    if (!f.window<Form11>("Form11"))
        f.dashboard()->findChild<QAction*>("database")->trigger();
    auto* tools = f.window<Form11>("Form11");
    (tool == BackUp ? tools->Label1 : tool == Restore ? tools->Label2 : tools->Label3)->click();
    return f.window<ConfirmWindow>(QStringLiteral("Form1%1").arg(2 + tool));
}
// "Yes" in the tool's confirmation, with these answers to the questions that follow.
void yes(Frame& f, Tool tool, std::initializer_list<bool> answers = {}) {
    f.ui.clear();
    for (bool answer : answers)
        f.ui.setNextAnswer(answer);
    confirmation(f, tool)->Label2->click();
}

bool toolsInFront(Frame& f) {
    QMdiSubWindow* active = f.frame->area()->activeSubWindow();
    return active && active->widget() == f.window<Form11>("Form11");
}

// The verify window's results: "status stored path".
QStringList listed(VerifyWindow* w) {
    QStringList out;
    for (int i = 0; i < w->ResultsList->topLevelItemCount(); ++i)
        out << w->ResultsList->topLevelItem(i)->text(0) + " " + w->ResultsList->topLevelItem(i)->text(1);
    return out;
}

} // namespace

class ToolsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        registerAll();
        registerWindow("TestEditor", [](MDIForm1& f) { return new TestEditor(f); });
    }

    // An editor is open throughout: the backups are whole all the same, and the
    // restore closes it before the file is replaced.
    void backUpAndRestore() {
        Frame f;
        addLocations(f.folder.databasePath(), 1, "Old Mill");
        QPointer<CaseWindow> editor = f.frame->form("TestEditor");
        editor->db().openTable(tables::location);
        yes(f, BackUp);
        QCOMPARE(f.ui.texts(), QStringList{"Your database has been backed up"});
        const QString backup = f.folder.file("backup/db_back");
        QCOMPARE(integrityProblem(backup), QString());
        QCOMPARE(locationsIn(backup), QStringList{"Old Mill"});

        // Declined, a second backup keeps the first byte for byte and is not reported.
        const QByteArray first = fileBytes(backup);
        addLocations(f.folder.databasePath(), 1, "Haunted Inn");
        yes(f, BackUp, {false});
        QCOMPARE(f.ui.replaceAsked, QStringList{backup});
        QCOMPARE(fileBytes(backup), first);
        QVERIFY(f.ui.texts().isEmpty());
        QCOMPARE(scratchFiles(f.folder.file("backup")), QStringList());

        const FileIdentity oldFile = fileIdentity(f.folder.databasePath());
        QPointer<Form2> before = f.dashboard();
        yes(f, Restore, {true});
        Frame::flush();
        QCOMPARE(f.ui.replaceAsked, QStringList{f.folder.databasePath()});
        QVERIFY(!editor && TestEditor::fileAtUnload == oldFile);
        QVERIFY(!(fileIdentity(f.folder.databasePath()) == oldFile));
        QCOMPARE(openReplacedFiles(), QStringList());
        QVERIFY(f.ui.messages[0].text.contains(QLatin1String("\"Test Editor\""))); // a word about the closing
        QCOMPARE(f.ui.lastText(), QStringLiteral("Your database has been restored"));
        QVERIFY(!before && f.dashboard());
        QCOMPARE(f.dashboard()->Combo1->findText("Haunted Inn"), -1);
        QVERIFY(f.dashboard()->Combo1->findText("Old Mill") > 0);
        QVERIFY(!f.window<ConfirmWindow>("Form13"));
        QVERIFY(toolsInFront(f));

        // Accepted, a second backup replaces the first.
        addLocations(f.folder.databasePath(), 1, "Second");
        yes(f, BackUp, {true});
        QCOMPARE(locationsIn(backup), (QStringList{"Old Mill", "Second"}));
    }

    // A window holding typed input is named in a question first; "No" keeps it
    // with its input and the database as it was. Untouched windows are closed unasked.
    void unsavedInputIsAskedAbout_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("tool");
        QTest::addColumn<bool>("typed");
        const std::pair<const char*, const char*> windows[] = {{"Form3", "Text7"}, {"Form4", "Text7"}, {"Form10", "Text1"}};
        for (const auto& [form, box] : windows)
            for (Tool tool : {Restore, Clean})
                for (bool typed : {true, false})
                    QTest::addRow("%s %s %s", form, tool == Restore ? "restore" : "clean", typed ? "typed" : "untouched")
                        << form << box << int(tool) << typed;
    }
    void unsavedInputIsAskedAbout() {
        QFETCH(QString, form);
        QFETCH(QString, box);
        QFETCH(int, tool);
        QFETCH(bool, typed);
        Frame f;
        yes(f, BackUp);
        addLocations(f.folder.databasePath(), 1, "Old Mill");
        Connection::open(f.folder.path())->add(tables::investigations, {{"Location", "Old Mill"}, {"FullDate_Time", "k-1"}});
        f.dashboard()->Combo1->setEditText("Old Mill");
        f.dashboard()->Combo2->setEditText(form == "Form3" ? "New" : "k-1");
        QPointer<CaseWindow> w = f.frame->show(form);
        auto* input = w->findChild<QLineEdit*>(box);
        if (typed)
            QTest::keyClicks(input, "kept");
        const QByteArray live = fileBytes(f.folder.databasePath());
        yes(f, Tool(tool), {true, false});
        Frame::flush();
        QCOMPARE(f.ui.questions.size(), typed ? 1 : 0);
        if (!typed) {
            QVERIFY(!w);
            return;
        }
        QVERIFY(f.ui.questions[0].text.contains('"' + w->caption() + '"'));
        QVERIFY(w && w->hasDb());
        QCOMPARE(input->text(), QStringLiteral("kept"));
        QCOMPARE(fileBytes(f.folder.databasePath()), live);
    }

    void cleanStartKeepsPictures() {
        Frame f;
        addLocations(f.folder.databasePath(), 1, "Old Mill");
        const QString photo = f.folder.file("locations/Old Mill.jpg");
        QVERIFY(writePicture(photo));
        const QByteArray photoBytes = fileBytes(photo);
        // Old investigations' folders stay, so new investigations are numbered above them.
        QVERIFY(writePicture(f.folder.file("Investigations/12/Cellar.jpg")));
        QVERIFY(QDir().mkpath(f.folder.file("Investigations/0099")) && QDir().mkpath(f.folder.file("Investigations/New")));
        yes(f, Clean, {true});
        QCOMPARE(f.ui.lastText(), QStringLiteral("Your database is now clean"));
        auto db = Connection::open(f.folder.path());
        for (const TableDef& t : caseTables())
            QCOMPARE(db->count(t.name), 0);
        QCOMPARE(fileBytes(photo), photoBytes);
        db->openTable(tables::investigations).addNew();
        QCOMPARE(db->table().field("ID"), QStringLiteral("13"));
        QCOMPARE(f.dashboard()->Combo1->count(), 1);
        QVERIFY(toolsInFront(f));
    }

    // Each confirmation shows its whole question; Cancel, or "no" to replacing, touches nothing.
    void confirmationsFitAndCancelTouchesNothing() {
        Frame f;
        yes(f, BackUp);
        addLocations(f.folder.databasePath(), 1, "Old Mill");
        const QStringList paths{f.folder.databasePath(), f.folder.file("backup/db_back"), f.folder.file("Clean_DB")};
        auto files = [&] { QList<QByteArray> out; for (const QString& p : paths) out << fileBytes(p); return out; };
        const auto before = files();
        Form2* dashboard = f.dashboard();
        for (Tool tool : {Restore, Clean}) {
            yes(f, tool, {false});
            QVERIFY(f.ui.messages.isEmpty());
        }
        QCOMPARE(f.window<Form11>("Form11")->caption(), QStringLiteral("Database Tools"));
        for (Tool tool : {BackUp, Restore, Clean}) {
            QPointer<ConfirmWindow> w = confirmation(f, tool);
            QVERIFY(w->client()->rect().contains(w->Label1->geometry()));
            QVERIFY(w->Label1->geometry().bottom() < w->Label2->geometry().top());
            QVERIFY(w->Label1->heightForWidth(w->Label1->width()) <= w->Label1->height());
            w->Label3->click();
            Frame::flush();
            QVERIFY(!w);
        }
        QVERIFY(files() == before);
        QCOMPARE(f.dashboard(), dashboard);
        QVERIFY(f.ui.messages.isEmpty());
        f.window<Form11>("Form11")->Label4->click();
        Frame::flush();
        QVERIFY(!f.window<Form11>("Form11"));
    }

    void invalidSourceRefused_data() {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("file"); // in the program folder
        QTest::addColumn<QByteArray>("content"); // null: the file is not there
        ProgramFolder pf;
        addLocations(pf.databasePath(), 400, "Place ");
        const QByteArray whole = fileBytes(pf.databasePath());
        sqlite3_exec(Connection::open(pf.path())->handle(), "DROP TABLE Pictures", nullptr, nullptr, nullptr);
        const QString backup = QStringLiteral("backup/db_back");
        QTest::newRow("missing") << int(Restore) << backup << QByteArray();
        QTest::newRow("truncated") << int(Restore) << backup << whole.left(whole.size() / 2);
        QTest::newRow("not sqlite") << int(Restore) << backup << QByteArray(8192, 'Z');
        QTest::newRow("wrong tables") << int(Restore) << backup << fileBytes(pf.databasePath());
        QTest::newRow("jet wrong tables") << int(Restore) << backup
                                          << fileBytes(sharedTestData() + "/jet/wrong_schema_jet4.mdb");
        QTest::newRow("no clean copy") << int(Clean) << "Clean_DB" << QByteArray();
        QTest::newRow("damaged clean copy") << int(Clean) << "Clean_DB" << whole.left(whole.size() / 2);
    }
    void invalidSourceRefused() {
        QFETCH(int, tool);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        Frame f;
        QVERIFY(content.isNull() ? !QFile::exists(f.folder.file(file)) || QFile::remove(f.folder.file(file))
                                 : writeFileBytes(f.folder.file(file), content));
        addLocations(f.folder.databasePath(), 1, "Keep Me");
        QPointer<CaseWindow> editor = f.frame->form("TestEditor");
        const QByteArray live = fileBytes(f.folder.databasePath());
        Form2* dashboard = f.dashboard();
        yes(f, Tool(tool), {true, true});
        QVERIFY2(f.ui.texts().size() == 1 && f.ui.lastText().endsWith(QLatin1String("Your database has not been changed.")),
                 qPrintable(f.ui.texts().join(QLatin1Char('|'))));
        QVERIFY(f.ui.replaceAsked.isEmpty() && f.ui.questions.isEmpty());
        QCOMPARE(fileBytes(f.folder.databasePath()), live);
        QCOMPARE(scratchFiles(f.folder.path()), QStringList());
        QCOMPARE(f.dashboard(), dashboard);
        QVERIFY(editor && editor->hasDb());
    }

    // A backup of the older version is imported; the backup itself is only read.
    void jetBackupIsImported() {
        Frame f;
        const QByteArray jet = fileBytes(sharedTestData() + "/jet/case_jet4.mdb");
        QVERIFY(writeFileBytes(f.folder.file("backup/db_back"), jet));
        yes(f, Restore, {true});
        QCOMPARE(f.ui.lastText(), QStringLiteral("Your database has been restored"));
        QCOMPARE(f.dashboard()->Combo1->count(), 4); // "New" and the file's three locations
        QCOMPARE(fileBytes(f.folder.file("backup/db_back")), jet);
        QCOMPARE(QDir(f.folder.file("backup")).entryList(QDir::Files | QDir::Hidden), QStringList{"db_back"});
    }

    void staleLogBesideDatabaseIsNotReplayed() {
        // A write-ahead log left by another program must not be applied to the restored file.
        Frame f;
        yes(f, BackUp);
        const QString other = f.folder.file("other.mdb");
        QVERIFY(QFile::copy(f.folder.databasePath(), other));
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(other).constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                         "INSERT INTO Location(LocationName) VALUES ('Ghost')", nullptr, nullptr, nullptr);
        QVERIFY(QFile::copy(other + "-wal", f.folder.databasePath() + "-wal"));
        sqlite3_close(db);
        yes(f, Restore, {true});
        QCOMPARE(integrityProblem(f.folder.databasePath()), QString());
        QCOMPARE(locationsIn(f.folder.databasePath()), QStringList());
    }

    // Another process keeps storing in the database while Restore runs: the
    // restored file is whole and holds the backup alone, and the writer, whose
    // file was replaced, is refused instead of writing into the new one.
    void restoreBesideAnotherWriter() {
        Frame f;
        addLocations(f.folder.databasePath(), 50, "Backed Up ");
        yes(f, BackUp);
        const QStringList backedUp = locationsIn(f.folder.file("backup/db_back"));
        constexpr int kRounds = 60;
        QStringList unsound;
        for (int round = 0; round < kRounds; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationDirPath() + "/proc_writer", {f.folder.path(), "20"});
            QTRY_VERIFY_WITH_TIMEOUT(writer.canReadLine(), 20000); // it has stored
            yes(f, Restore, {true});
            if (!writer.waitForFinished(5000))
                writer.kill(); // not refused: counted below
            writer.waitForFinished();
            const QString why = integrityProblem(f.folder.databasePath());
            const QStringList now = why.isEmpty() ? locationsIn(f.folder.databasePath()) : QStringList();
            if (f.ui.lastText() != QStringLiteral("Your database has been restored") || !why.isEmpty() ||
                now != backedUp || writer.exitStatus() != QProcess::NormalExit || writer.exitCode() != 1)
                unsound << QStringLiteral("round %1: %2 %3 (%4 locations), writer: %5")
                               .arg(QString::number(round), f.ui.lastText(), why, QString::number(now.size()),
                                    QString::fromLocal8Bit(writer.readAllStandardOutput().right(80)));
        }
        qInfo("%d rounds beside a writer, %lld unsound", kRounds, qint64(unsound.size()));
        QVERIFY2(unsound.isEmpty(), qPrintable(unsound.join(QLatin1Char('\n'))));
    }

    void killedRestoreLeavesOldOrBackup() {
        ProgramFolder pf;
        addLocations(pf.databasePath(), 4000, "Backed Up ");
        QVERIFY(writeFileBytes(pf.file("backup/db_back"), fileBytes(pf.databasePath())));
        const QStringList backedUp = locationsIn(pf.databasePath());

        // Each round kills the looping restorer (which inherits the offscreen
        // platform) at the n-th change it makes in the program folder or to the
        // database: while a location is stored, while the new file is written beside, at the rename...
        // Scratch copies lie beside their target only, never in the temporary folder.
        QTemporaryDir temp, runtime;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", temp.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        for (int round = 0; round < 10; ++round) {
            const QStringList before = locationsIn(pf.databasePath());
            QProcess proc;
            proc.setProcessEnvironment(env);
            QFileSystemWatcher watcher;
            int changes = 0;
            auto changed = [&] {
                watcher.addPath(pf.databasePath()); // a replaced file is watched anew
                if (++changes == 1 + round)
                    proc.kill();
            };
            connect(&watcher, &QFileSystemWatcher::fileChanged, &proc, changed);
            connect(&watcher, &QFileSystemWatcher::directoryChanged, &proc, changed);
            connect(&proc, &QProcess::readyReadStandardOutput, &proc, [&] {
                // Counting starts once the program is up and has stored its first location.
                if (proc.readAllStandardOutput().contains("added") && watcher.directories().isEmpty())
                    watcher.addPaths({pf.path(), pf.databasePath()});
            });
            proc.start(QCoreApplication::applicationDirPath() + "/proc_restore", {pf.path()});
            QTRY_VERIFY_WITH_TIMEOUT(proc.state() == QProcess::NotRunning, 60000);
            QCOMPARE(proc.exitStatus(), QProcess::CrashExit);

            // Opened as the program opens it, which rolls back a store cut short.
            QCOMPARE(Connection::problemWith(pf.databasePath()), QString());
            QCOMPARE(integrityProblem(pf.databasePath()), QString());
            // The old file or the backup, each perhaps with one location stored since.
            const QStringList now = locationsIn(pf.databasePath());
            auto from = [&](const QStringList& base) {
                return now == base || (now.size() == base.size() + 1 && now.mid(0, base.size()) == base &&
                                       now.last().startsWith(QLatin1String("Extra ")));
            };
            QVERIFY2(from(before) || from(backedUp),
                     qPrintable(QStringLiteral("round %1: %2 locations").arg(round).arg(now.size())));
            QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        }
        // What the killed ones left beside the database goes at the next start.
        removeStaleScratchFiles(pf.path());
        QCOMPARE(scratchFiles(pf.path()), QStringList());
    }

    // The evidence files with their states; recording asks first, and the manifest is what was found.
    void verifyWindow() {
        Frame f;
        for (const auto& [stored, bytes] : {std::pair{"\\Investigations\\17\\Cellar door.jpg", "cellar"},
                                            {"\\Investigations\\17\\Attic.jpg", "attic"},
                                            {"\\locations\\Old Mill.jpg", "mill"}})
            QVERIFY(attachBytes(f.folder.path(), stored, bytes));
        writeFileBytes(f.folder.file("Investigations/17/Attic.jpg"), "attic!");
        QFile::remove(f.folder.file("locations/Old Mill.jpg"));
        writeFileBytes(f.folder.file("Investigations/4/Add.jpg"), "from an older case");

        menu(f.dashboard(), "verify");
        auto* w = f.window<VerifyWindow>("VerifyWindow");
        QTRY_VERIFY(w && !w->running());
        QCOMPARE(listed(w), (QStringList{"changed \\Investigations\\17\\Attic.jpg",
                                         "ok \\Investigations\\17\\Cellar door.jpg", "missing \\locations\\Old Mill.jpg",
                                         "unrecorded \\Investigations\\4\\Add.jpg"}));
        QCOMPARE(w->SummaryLabel->text(), QStringLiteral("4 files: 1 ok, 1 changed, 1 missing, 1 unrecorded."));
        QCOMPARE(w->VerifyProgress->value(), w->VerifyProgress->maximum());

        auto db = Connection::open(f.folder.path());
        f.ui.setNextAnswer(false);
        w->RecordButton->click();
        QCOMPARE(f.ui.questions.size(), 1);
        QVERIFY(!recordedFile(*db, "\\Investigations\\4\\Add.jpg"));
        f.ui.setNextAnswer(true);
        w->RecordButton->click();
        QVERIFY(recordedFile(*db, "\\Investigations\\4\\Add.jpg"));
        QVERIFY(listed(w).contains("ok \\Investigations\\4\\Add.jpg") && !w->RecordButton->isEnabled());

        const QString manifest = f.folder.file("manifest.csv");
        f.ui.setNextSaveFileName(manifest);
        w->SaveManifestButton->click();
        const QStringList lines = QString::fromUtf8(fileBytes(manifest)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines.at(1).startsWith("\\Investigations\\17\\Attic.jpg,5,") && lines.at(1).endsWith(",changed"));

        // Cancelled, or closed while verifying, it waits for the hashing threads, whatever they were doing.
        for (int i = 0; i < 8; ++i)
            QVERIFY(attachBytes(f.folder.path(), QStringLiteral("\\Investigations\\18\\%1.jpg").arg(i),
                                QByteArray(1 << 20, char(i))));
        w->VerifyButton->click();
        w->CancelButton->click();
        QTRY_VERIFY(!w->running());
        w->VerifyButton->click();
        QVERIFY(w->running() && w->unload());
        Frame::flush();
        QVERIFY(!f.frame->loaded("VerifyWindow"));
    }
};

QTEST_MAIN(ToolsTest)
#include "test_tools.moc"
