#include "tools/databasetools.h"

#include "store/casedb.h"
#include "shell/casewindow.h"
#include "store/databasefiles.h"
#include "store/fileroutines.h"
#include "store/jetimport.h"
#include "shell/mainframe.h"
#include "store/paths.h"
#include "store/ui.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace veil {

namespace {

const QString kDashboard = QStringLiteral("Form2");
const QString kTools = QStringLiteral("Form11");
const QString kUnchanged = QStringLiteral("\n\nYour database has not been changed.");

QString windowName(const CaseWindow* w) {
    const QString c = w->caption();
    return QLatin1Char('"') + (c.isEmpty() ? w->objectName() : c) + QLatin1Char('"');
}

QString names(const QList<QPointer<CaseWindow>>& windows) {
    QStringList out;
    for (const auto& w : windows)
        if (w)
            out << windowName(w);
    return out.join(QLatin1String(", "));
}

// Windows other than the dashboard that hold a connection to the database.
QList<QPointer<CaseWindow>> connectedWindows(const MDIForm1& frame) {
    QList<QPointer<CaseWindow>> out;
    for (const QString& name : frame.loadedNames())
        if (CaseWindow* w = frame.loaded(name); w && w->hasDb() && name != kDashboard)
            out << w;
    return out;
}

// Closes every window that holds a connection, the dashboard last (editors
// bring it back as they go). Windows with unsaved input are named in a
// question first. False when the user declines or a window stays; the
// database file has not been touched then.
bool closeConnectedWindows(MDIForm1& frame) {
    const QList<QPointer<CaseWindow>> windows = connectedWindows(frame);
    QList<QPointer<CaseWindow>> unsaved;
    for (const auto& w : windows)
        if (w->hasUnsavedChanges())
            unsaved << w;
    if (!unsaved.isEmpty() &&
        !Ui::get().question(
            QStringLiteral("These windows hold changes that have not been saved: %1.\n\n"
                           "Every window that uses the database must be closed before it is replaced, "
                           "and these changes will be lost. Do you want to continue?")
                .arg(names(unsaved)),
            kProgramName))
        return false;

    for (const auto& w : windows)
        if (w && !w->unload()) {
            message(QStringLiteral("The window %1 could not be closed, so the database was not replaced.")
                        .arg(windowName(w)) + kUnchanged);
            return false;
        }
    if (!frame.unload(kDashboard))
        return false;
    // An unload handler may have opened something again; nothing may hold on.
    for (const QString& name : frame.loadedNames())
        if (CaseWindow* w = frame.loaded(name); w && w->hasDb() && !w->unload()) {
            message(QStringLiteral("The window %1 could not be closed, so the database was not replaced.")
                        .arg(windowName(w)) + kUnchanged);
            frame.show(kDashboard);
            return false;
        }
    if (!windows.isEmpty())
        message(QStringLiteral("These windows used the database and were closed before it was replaced: %1.")
                    .arg(names(windows)));
    return true;
}

} // namespace

bool backUpDatabase(MDIForm1& frame) {
    const QString live = programPath(frame.programFolder(), files::database);
    const QString backup = programPath(frame.programFolder(), files::backup);
    const QString failed = QStringLiteral("Your database could not be backed up.\n\n");
    if (!QDir().mkpath(QFileInfo(backup).absolutePath())) {
        message(failed + QStringLiteral("The folder \"%1\" cannot be made.").arg(QFileInfo(backup).absolutePath()));
        return false;
    }
    // The snapshot, made beside the backup, is what takes its place: it is
    // checked and cannot change while it is put there.
    ScratchFile snapshot(backup);
    if (!snapshot.isValid()) {
        message(failed + QStringLiteral("There is no room for a temporary copy (%1).").arg(snapshot.errorString()));
        return false;
    }
    if (const QString problem = snapshotDatabase(live, snapshot.path()); !problem.isEmpty()) {
        message(failed + problem);
        return false;
    }
    if (QFileInfo::exists(backup) && !Ui::get().confirmReplace(backup))
        return false; // declined: saying "backed up" would be untrue
    if (QString error; !snapshot.moveTo(backup, &error)) {
        message(failed + QStringLiteral("\"%1\" could not be written: %2").arg(backup, error));
        return false;
    }
    message(QStringLiteral("Your database has been backed up"));
    return true;
}

bool replaceDatabase(MDIForm1& frame, Replacement from) {
    const bool restore = from == Replacement::FromBackup;
    const QString live = programPath(frame.programFolder(), files::database);
    const QString source = programPath(frame.programFolder(), restore ? files::backup : files::cleanDb);
    const QString refused = restore ? QStringLiteral("The backup cannot be restored.\n\n")
                                    : QStringLiteral("The clean database cannot be used.\n\n");

    // 1. The new content, checked before anything else happens.
    if (!QFileInfo::exists(source)) {
        message(restore ? QStringLiteral("There is no backup to restore: \"%1\" does not exist.").arg(source) + kUnchanged
                        : QStringLiteral("The clean database \"%1\" is missing.").arg(source) + kUnchanged);
        return false;
    }
    // Scratch copies lie beside the database they are to replace.
    ScratchFile imported(live), snapshot(live);
    if (!imported.isValid() || !snapshot.isValid()) {
        message(refused + QStringLiteral("There is no room for a temporary copy (%1).").arg(snapshot.errorString()) +
                kUnchanged);
        return false;
    }
    // A backup made by the older Windows version is a Jet file: it is
    // imported into a new case database first, and that is what is restored.
    QString content = source;
    if (restore && fileKind(source) == FileKind::Jet) {
        content = imported.path();
        const ImportResult result =
            importJet(source, programPath(frame.programFolder(), files::cleanDb), content);
        if (!result.ok) {
            message(refused + QStringLiteral("It is a database of the older Windows version and could not be "
                                             "imported: ") +
                    result.error + kUnchanged);
            return false;
        }
    }
    QString problem = snapshotDatabase(content, snapshot.path());
    // A new investigation must never meet the folder of an old one.
    if (problem.isEmpty())
        problem = reserveAutoNumbers(snapshot.path(), tables::investigations,
                                     highestInvestigationFolder(frame.programFolder()));
    if (!problem.isEmpty()) {
        message(refused + problem + kUnchanged);
        return false;
    }

    // 2. The copy routine's question, asked before any window is closed.
    if (QFileInfo::exists(live) && !Ui::get().confirmReplace(live))
        return false;

    // 3. No connection may stay on the file that is replaced.
    if (!closeConnectedWindows(frame))
        return false;

    // 4. Renamed over the database under its lock: a crash leaves the old
    // file or the new one, and no other writer reaches the new one.
    const QString error = swapInDatabase(snapshot, live);
    if (error.isEmpty())
        message(restore ? QStringLiteral("Your database has been restored")
                        : QStringLiteral("Your database is now clean"));
    else
        message(QStringLiteral("The database could not be replaced: %1").arg(error) + kUnchanged);

    // 5. A new dashboard from whatever the file now holds, the tools in front.
    frame.show(kDashboard);
    frame.show(kTools);
    return error.isEmpty();
}

} // namespace veil
