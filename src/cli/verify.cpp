// verify: every recorded file hashed again and compared with its record.
#include "cli/cli.h"

#include "store/casedb.h"
#include "store/verification.h"

#include <QFileInfo>

namespace veil::cli {

int verifyCommand(Context& c, const QStringList& arguments) {
    QStringList args = arguments;
    const bool all = args.removeAll(QStringLiteral("--all")) > 0;
    QString manifest;
    if (const qsizetype at = args.indexOf(QStringLiteral("--manifest")); at >= 0) {
        if (at + 1 >= args.size())
            return c.fail(QStringLiteral("--manifest needs a FILE."));
        manifest = QFileInfo(args.at(at + 1)).absoluteFilePath();
        args.remove(at, 2);
    }
    if (!args.isEmpty())
        return c.fail(QStringLiteral("verify takes only --manifest FILE and --all, not \"%1\".").arg(args.first()));
    QList<CheckedFile> files;
    try {
        // Verifying only reads: an older case file is not brought up to date.
        auto db = Connection::openFile(c.database(), Connection::Upgrade::No);
        files = evidenceFiles(*db, c.folder);
    } catch (const DbError& e) {
        return c.fail(e.text());
    }
    verifyFiles(files, c.folder);
    bool sound = true;
    for (const CheckedFile& f : files) {
        if (f.status == FileStatus::Changed || f.status == FileStatus::Missing)
            sound = false;
        if (all || f.status != FileStatus::Ok)
            c.out << statusName(f.status) << '\t' << f.path << '\n';
    }
    c.out.flush();
    if (!manifest.isEmpty()) {
        QString error;
        if (!writeManifest(manifest, files, &error))
            return c.fail(QStringLiteral("\"%1\" cannot be written: %2").arg(manifest, error));
    }
    return sound ? kOk : kNo;
}

} // namespace veil::cli
