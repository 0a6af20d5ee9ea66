// The commands on the case file as a whole: check, backup and reindex.
#include "cli/cli.h"

#include "store/casedb.h"
#include "store/databasefiles.h"
#include "store/fileroutines.h"
#include "store/migrations.h"
#include "store/searchindex.h"

#include <QDir>
#include <QFileInfo>

namespace veil::cli {

namespace {
// The search index against the records, in a file that should have one.
QString indexProblem(const QString& path) {
    try {
        auto db = Connection::openFile(path, Connection::Upgrade::No);
        return schemaVersion(db->handle()) >= 2 ? searchIndexProblem(db->handle()) : QString();
    } catch (const DbError& e) {
        return e.text();
    }
}
} // namespace

int reindexCommand(Context& c, const QStringList& arguments) {
    if (!arguments.isEmpty())
        return c.fail(QStringLiteral("reindex takes no arguments."));
    if (!QFileInfo::exists(c.database()))
        return c.fail(QStringLiteral("\"%1\" does not exist.").arg(c.database()));
    try {
        auto db = Connection::openFile(c.database());
        rebuildSearchIndex(*db);
    } catch (const DbError& e) {
        return c.fail(e.text());
    }
    c.out << "built the search index of " << c.database() << " again" << Qt::endl;
    return kOk;
}

int checkCommand(Context& c, const QStringList& arguments) {
    if (!arguments.isEmpty())
        return c.fail(QStringLiteral("check takes no arguments."));
    const QString db = c.database();
    if (!QFileInfo::exists(db))
        return c.fail(QStringLiteral("\"%1\" does not exist.").arg(db));
    QStringList problems;
    if (const QString p = integrityProblem(db); !p.isEmpty())
        problems << QStringLiteral("integrity check: %1").arg(p);
    else if (const QString p = Connection::problemWith(db); !p.isEmpty())
        problems << p;
    else if (const QString p = indexProblem(db); !p.isEmpty())
        problems << p + QStringLiteral(" (veilcase-cli reindex builds it again)");
    if (problems.isEmpty()) {
        c.out << db << ": ok" << Qt::endl;
        return kOk;
    }
    for (const QString& p : problems)
        c.out << db << ": " << p << Qt::endl;
    return kNo;
}

int backupCommand(Context& c, const QStringList& arguments) {
    QStringList args = arguments;
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    if (args.size() != 1)
        return c.fail(QStringLiteral("backup takes one FILE."));
    const QString target = QFileInfo(args.first()).absoluteFilePath();
    if (QFileInfo(target).isDir())
        return c.fail(QStringLiteral("\"%1\" is a folder.").arg(target));
    if (QFileInfo::exists(target) && !force)
        return c.fail(QStringLiteral("\"%1\" exists; use --force to replace it.").arg(target));
    // Written beside the target and renamed over it, so FILE is never half a backup.
    ScratchFile scratch(target);
    if (!scratch.isValid())
        return c.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(target, scratch.errorString()));
    if (const QString p = snapshotDatabase(c.database(), scratch.path()); !p.isEmpty())
        return c.fail(p);
    if (QString error; !scratch.moveTo(target, &error))
        return c.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(target, error));
    c.out << "backed up " << c.database() << " to " << target << Qt::endl;
    return kOk;
}

} // namespace veil::cli
