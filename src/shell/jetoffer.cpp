#include "shell/jetoffer.h"

#include "store/casedb.h"
#include "store/jetimport.h"
#include "store/paths.h"
#include "store/ui.h"

#include <QFileInfo>

namespace veil {

bool offerJetImport(const QString& programFolder) {
    const QString database = programPath(programFolder, files::database);
    if (fileKind(database) != FileKind::Jet) return false;
    const QString shown = QFileInfo(database).absoluteFilePath();
    const QString question =
        QStringLiteral("The case database \"%1\" comes from the older Windows version of Veilcase "
                       "and has to be imported before it can be used.\n\nImport it now? The old "
                       "file is not changed: it is kept beside the new database as \"%2\".")
            .arg(shown, QFileInfo(keptJetPath(database)).fileName());
    if (!Ui::get().question(question, kProgramName)) return false;

    const ImportResult r =
        importJet(database, programPath(programFolder, files::cleanDb), database);
    if (!r.ok) {
        message(r.error);
        return false;
    }
    QHash<QString, int> n;
    for (const auto& [table, count] : r.records)
        n.insert(table, count);
    message(QStringLiteral("The old case file was imported: %1 locations, %2 investigations, %3 "
                           "interviews, %4 investigators, %5 equipment items and %6 pictures.\n\n"
                           "The old file is kept unchanged as \"%7\".")
                .arg(n.value(tables::location))
                .arg(n.value(tables::investigations))
                .arg(n.value(tables::interview))
                .arg(n.value(tables::investigators))
                .arg(n.value(tables::equipment))
                .arg(n.value(tables::pictures))
                .arg(r.keptAs));
    return true;
}

} // namespace veil
