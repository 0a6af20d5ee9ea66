#include "framefixture.h"

#include "confirmwindow.h"
#include "databasefiles.h"
#include "form11.h"
#include "imagebutton.h"
#include "windowregistry.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTest>

#include <sqlite3.h>

using namespace veil;
using namespace veil::test;

namespace {

// An editor stand-in: holds a connection from load to unload, may claim
// unsaved input, and notes which file had the database's name when it let go.
class TestEditor : public CaseWindow {
    Q_OBJECT
public:
    explicit TestEditor(MDIForm1& f) : CaseWindow(f, QStringLiteral("TestEditor")) { setCaption(QStringLiteral("Test Editor")); }
    void load() override { openDatabase(); }
    bool hasUnsavedChanges() const override { return unsaved; }
    void unloaded() override { fileAtUnload = fileIdentity(db().path()); }
    static inline bool unsaved = false;
    static inline FileIdentity fileAtUnload;
};

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size());
}

QStringList locationsIn(const QString& path) {
    return Connection::openFile(path)->column(tables::location, QStringLiteral("LocationName"));
}

void addLocations(const QString& path, int n, const QString& prefix) {
    auto db = Connection::openFile(path);
    sqlite3_exec(db->handle(), "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < n; ++i)
        db->add(tables::location, {{QStringLiteral("LocationName"), n == 1 ? prefix : prefix + QString::number(i)},
                                   {QStringLiteral("Background"), QString(1500, QLatin1Char('b'))}});
    sqlite3_exec(db->handle(), "COMMIT", nullptr, nullptr, nullptr);
}

// Descriptors of this process still open on a database file that was replaced.
QStringList openReplacedFiles() {
    QStringList out;
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files))
        if (fd.symLinkTarget().contains(QLatin1String("Veilcase.mdb (deleted)")))
            out << fd.symLinkTarget();
    return out;
}

enum Tool { BackUp, Restore, Clean };

ConfirmWindow* confirmation(Frame& f, Tool tool) {
    if (!f.window<Form11>(QStringLiteral("Form11")))
        f.dashboard()->findChild<QAction*>(QStringLiteral("database"))->trigger();
    auto* tools = f.window<Form11>(QStringLiteral("Form11"));
    (tool == BackUp ? tools->Label1 : tool == Restore ? tools->Label2 : tools->Label3)->click();
    return f.window<ConfirmWindow>(QStringLiteral("Form1%1").arg(2 + tool));
}
void yes(Frame& f, Tool tool) { confirmation(f, tool)->Label2->click(); }

bool toolsInFront(Frame& f) {
    QMdiSubWindow* active = f.frame->area()->activeSubWindow();
    return active && active->widget() == f.window<Form11>(QStringLiteral("Form11"));
}

} // namespace

class ToolsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        registerAll();
        registerWindow(QStringLiteral("TestEditor"), [](MDIForm1& f) { return new TestEditor(f); });
    }
    void init() { TestEditor::unsaved = false; }

    void toolsMenuOpensWindowsThatFit() {
        Frame f;
        f.dashboard()->findChild<QAction*>(QStringLiteral("database"))->trigger();
        auto* tools = f.window<Form11>(QStringLiteral("Form11"));
        QCOMPARE(tools->caption(), QStringLiteral("Database Tools"));
        for (Tool tool : {BackUp, Restore, Clean}) {
            // The question is whole inside the window and above its buttons.
            ConfirmWindow* w = confirmation(f, tool);
            QVERIFY(w->client()->rect().contains(w->Label1->geometry()));
            QVERIFY(w->Label1->geometry().bottom() < w->Label2->geometry().top());
            QVERIFY(w->Label1->heightForWidth(w->Label1->width()) <= w->Label1->height());
        }
        tools->Label4->click();
        Frame::flush();
        QVERIFY(!f.window<Form11>(QStringLiteral("Form11")));
    }

    void backUpAddRestore() {
        Frame f;
        addLocations(f.folder.databasePath(), 1, QStringLiteral("Old Mill"));
        f.frame->form(QStringLiteral("TestEditor"))->db().openTable(tables::location); // held while backing up
        yes(f, BackUp);
        QCOMPARE(f.ui.texts(), QStringList{QStringLiteral("Your database has been backed up")});
        const QString backup = f.folder.file(QStringLiteral("backup/db_back"));
        QCOMPARE(integrityProblem(backup), QString());
        QCOMPARE(locationsIn(backup), QStringList{QStringLiteral("Old Mill")});

        addLocations(f.folder.databasePath(), 1, QStringLiteral("Haunted Inn"));
        QPointer<Form2> before = f.dashboard();
        f.ui.clear();
        f.ui.setNextAnswer(true);
        yes(f, Restore);
        QCOMPARE(f.ui.replaceAsked, QStringList{f.folder.databasePath()});
        QCOMPARE(f.ui.lastText(), QStringLiteral("Your database has been restored"));
        Frame::flush();
        QVERIFY(!before && f.dashboard());
        QCOMPARE(f.dashboard()->Combo1->findText(QStringLiteral("Haunted Inn")), -1);
        QVERIFY(f.dashboard()->Combo1->findText(QStringLiteral("Old Mill")) > 0);
        QVERIFY(!f.window<ConfirmWindow>(QStringLiteral("Form13")));
        QVERIFY(toolsInFront(f));
    }

    void backUpTwice() {
        Frame f;
        const QString backup = f.folder.file(QStringLiteral("backup/db_back"));
        yes(f, BackUp);
        addLocations(f.folder.databasePath(), 1, QStringLiteral("Second"));
        f.ui.setNextAnswer(true);
        yes(f, BackUp);
        QCOMPARE(f.ui.replaceAsked, QStringList{backup});
        QCOMPARE(locationsIn(backup), QStringList{QStringLiteral("Second")});

        const QByteArray second = bytes(backup);
        addLocations(f.folder.databasePath(), 1, QStringLiteral("Third"));
        f.ui.clear();
        f.ui.setNextAnswer(false);
        yes(f, BackUp);
        QCOMPARE(bytes(backup), second);
        QVERIFY(f.ui.texts().isEmpty()); // declined, so not reported as backed up
    }

    void cleanStartKeepsPictures() {
        Frame f;
        addLocations(f.folder.databasePath(), 1, QStringLiteral("Old Mill"));
        const QString photo = f.folder.file(QStringLiteral("locations/Old Mill.jpg"));
        QVERIFY(writePicture(photo));
        const QByteArray photoBytes = bytes(photo);
        f.ui.setNextAnswer(true);
        yes(f, Clean);
        QCOMPARE(f.ui.lastText(), QStringLiteral("Your database is now clean"));
        auto db = Connection::open(f.folder.path());
        for (const TableDef& t : caseTables())
            QCOMPARE(db->count(t.name), 0);
        QCOMPARE(bytes(photo), photoBytes);
        QCOMPARE(f.dashboard()->Combo1->count(), 1);
        QVERIFY(toolsInFront(f));
    }

    void cancelTouchesNothing() {
        Frame f;
        yes(f, BackUp);
        addLocations(f.folder.databasePath(), 1, QStringLiteral("Old Mill"));
        f.ui.clear();
        auto files = [&] {
            return QList<QByteArray>{bytes(f.folder.databasePath()), bytes(f.folder.file(QStringLiteral("backup/db_back"))),
                                     bytes(f.folder.file(QStringLiteral("Clean_DB")))};
        };
        const auto before = files();
        Form2* dashboard = f.dashboard();
        for (Tool tool : {BackUp, Restore, Clean}) {
            QPointer<ConfirmWindow> w = confirmation(f, tool);
            w->Label3->click();
            Frame::flush();
            QVERIFY(!w);
        }
        // Declining the replace question is as good as Cancel.
        f.ui.setNextAnswer(false);
        yes(f, Restore);
        f.ui.setNextAnswer(false);
        yes(f, Clean);
        QVERIFY(files() == before);
        QCOMPARE(f.dashboard(), dashboard);
        QVERIFY(f.ui.messages.isEmpty());
    }

    void editorOpenDuringRestore() {
        Frame f;
        yes(f, BackUp);
        addLocations(f.folder.databasePath(), 1, QStringLiteral("After Backup"));
        const QByteArray live = bytes(f.folder.databasePath());
        const FileIdentity oldFile = fileIdentity(f.folder.databasePath());

        // Unsaved input: asked first, and "no" leaves everything as it was.
        TestEditor::unsaved = true;
        QPointer<CaseWindow> editor = f.frame->form(QStringLiteral("TestEditor"));
        f.ui.clear();
        f.ui.setNextAnswer(true);  // replace
        f.ui.setNextAnswer(false); // but keep the input
        yes(f, Restore);
        QCOMPARE(f.ui.questions.size(), 1);
        QVERIFY(f.ui.questions[0].text.contains(QLatin1String("\"Test Editor\"")));
        QVERIFY(editor && editor->hasDb());
        QCOMPARE(bytes(f.folder.databasePath()), live);

        // "Yes": the editor lets go before the file is replaced, with a word to the user.
        f.ui.clear();
        f.ui.setDefaultAnswer(true);
        yes(f, Restore);
        Frame::flush();
        QVERIFY(!editor);
        QVERIFY(TestEditor::fileAtUnload == oldFile);
        QVERIFY(!(fileIdentity(f.folder.databasePath()) == oldFile));
        QCOMPARE(openReplacedFiles(), QStringList());
        QVERIFY(f.ui.messages[0].text.contains(QLatin1String("\"Test Editor\"")));
        QCOMPARE(f.ui.lastText(), QStringLiteral("Your database has been restored"));
    }

    void invalidSourceRefused_data() {
        QTest::addColumn<QString>("kind");
        for (const char* k : {"missing", "truncated", "not sqlite", "wrong tables", "jet wrong tables", "no clean copy"})
            QTest::newRow(k) << QString::fromLatin1(k);
    }
    void invalidSourceRefused() {
        QFETCH(QString, kind);
        Frame f;
        const QString backup = f.folder.file(QStringLiteral("backup/db_back"));
        if (kind == QLatin1String("truncated")) {
            addLocations(f.folder.databasePath(), 400, QStringLiteral("Place "));
            yes(f, BackUp);
            writeBytes(backup, bytes(backup).left(QFileInfo(backup).size() / 2));
        } else if (kind == QLatin1String("not sqlite")) {
            writeBytes(backup, QByteArray(8192, 'Z'));
        } else if (kind == QLatin1String("wrong tables")) {
            QDir().mkpath(QFileInfo(backup).absolutePath());
            sqlite3* db = nullptr;
            sqlite3_open(QFile::encodeName(backup).constData(), &db);
            sqlite3_exec(db, "CREATE TABLE Location(LocationName TEXT)", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        } else if (kind == QLatin1String("jet wrong tables")) {
            writeBytes(backup, bytes(sharedTestData() + QStringLiteral("/jet/wrong_schema_jet4.mdb")));
        } else if (kind == QLatin1String("no clean copy")) {
            QVERIFY(QFile::remove(f.folder.file(QStringLiteral("Clean_DB"))));
        }
        addLocations(f.folder.databasePath(), 1, QStringLiteral("Keep Me"));
        QPointer<CaseWindow> editor = f.frame->form(QStringLiteral("TestEditor"));
        const QByteArray live = bytes(f.folder.databasePath());
        Form2* dashboard = f.dashboard();
        f.ui.clear();
        f.ui.setDefaultAnswer(true);
        yes(f, kind == QLatin1String("no clean copy") ? Clean : Restore);

        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY2(f.ui.messages[0].text.endsWith(QLatin1String("Your database has not been changed.")),
                 qPrintable(f.ui.messages[0].text));
        QVERIFY(f.ui.replaceAsked.isEmpty() && f.ui.questions.isEmpty());
        QCOMPARE(bytes(f.folder.databasePath()), live);
        QCOMPARE(f.dashboard(), dashboard);
        QVERIFY(editor && editor->hasDb());
    }

    void jetBackupIsImported() {
        Frame f;
        const QString backup = f.folder.file(QStringLiteral("backup/db_back"));
        writeBytes(backup, bytes(sharedTestData() + QStringLiteral("/jet/case_jet4.mdb")));
        f.ui.setNextAnswer(true);
        yes(f, Restore);
        QCOMPARE(f.ui.lastText(), QStringLiteral("Your database has been restored"));
        QCOMPARE(fileKind(f.folder.databasePath()), FileKind::Sqlite);
        QCOMPARE(f.dashboard()->Combo1->count(), 4); // "New" and the file's three locations
    }

    void staleLogBesideDatabaseIsNotReplayed() {
        // A write-ahead log left by another program must not be applied to the restored file.
        Frame f;
        yes(f, BackUp);
        const QString other = f.folder.file(QStringLiteral("other.mdb"));
        QVERIFY(QFile::copy(f.folder.databasePath(), other));
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(other).constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                         "INSERT INTO Location(LocationName) VALUES ('Ghost')", nullptr, nullptr, nullptr);
        QVERIFY(QFile::copy(other + QStringLiteral("-wal"), f.folder.databasePath() + QStringLiteral("-wal")));
        sqlite3_close(db);
        f.ui.setNextAnswer(true);
        yes(f, Restore);
        QCOMPARE(integrityProblem(f.folder.databasePath()), QString());
        QCOMPARE(locationsIn(f.folder.databasePath()), QStringList());
    }

    void killedRestoreLeavesOldOrBackup() {
        ProgramFolder pf;
        addLocations(pf.databasePath(), 4000, QStringLiteral("Backed Up "));
        const QString backup = pf.file(QStringLiteral("backup/db_back"));
        QDir().mkpath(QFileInfo(backup).absolutePath());
        QVERIFY(QFile::copy(pf.databasePath(), backup));
        const QStringList backedUp = locationsIn(backup);

        // Each round kills the looping restorer at the n-th change it makes in
        // the program folder or to the database: while a location is stored,
        // while the new file is written beside, at the rename...
        for (int round = 0; round < 10; ++round) {
            QProcess proc;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            proc.setProcessEnvironment(env);
            proc.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/proc_restore"));
            proc.setArguments({pf.path()});
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
            proc.start();
            QTRY_VERIFY_WITH_TIMEOUT(proc.state() == QProcess::NotRunning, 60000);
            QCOMPARE(proc.exitStatus(), QProcess::CrashExit);

            // Opened as the program opens it, which rolls back a store cut short.
            QCOMPARE(Connection::problemWith(pf.databasePath()), QString());
            QCOMPARE(integrityProblem(pf.databasePath()), QString());
            const QStringList now = locationsIn(pf.databasePath());
            const bool isOld = now.size() == backedUp.size() + 1 && now.last().startsWith(QLatin1String("Extra "));
            QVERIFY2(now.mid(0, backedUp.size()) == backedUp && (isOld || now.size() == backedUp.size()),
                     qPrintable(QStringLiteral("round %1: %2 locations").arg(round).arg(now.size())));
        }
    }
};

QTEST_MAIN(ToolsTest)
#include "test_tools.moc"
