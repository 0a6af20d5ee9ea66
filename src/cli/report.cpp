// The report command: an investigation or a location as HTML or PDF.
#include "cli/cli.h"

#include "reports/report.h"
#include "reports/reportoutput.h"
#include "store/casedb.h"

#include <QFileInfo>
#include <QGuiApplication>

namespace veil::cli {

int reportCommand(Context& c, const QStringList& arguments) {
    QString key, location, out;
    bool byLocation = false;
    reports::Options options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const auto next = [&](QString& into) {
            if (i + 1 >= arguments.size())
                return false;
            into = arguments[++i];
            return true;
        };
        if (a == QLatin1String("--contacts")) {
            options.contacts = true;
        } else if (a == QLatin1String("--out")) {
            if (!next(out))
                return c.fail(QStringLiteral("--out needs a file."));
        } else if (a.startsWith(QLatin1String("--out="))) {
            out = a.mid(6);
        } else if (a == QLatin1String("--location")) {
            if (!next(location))
                return c.fail(QStringLiteral("--location needs a location's name."));
            byLocation = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return c.fail(QStringLiteral("report does not know the option %1.").arg(a));
        } else if (key.isNull()) {
            key = a;
        } else {
            return c.fail(QStringLiteral("report takes one investigation key (quote a key that holds spaces)."));
        }
    }
    if (byLocation == !key.isNull())
        return c.fail(QStringLiteral("report needs either an investigation KEY or --location NAME."));
    if (out.isEmpty())
        return c.fail(QStringLiteral("report needs --out FILE.html or --out FILE.pdf."));
    const auto format = reports::formatOf(out);
    if (!format)
        return c.fail(QStringLiteral("\"%1\" is neither .html nor .pdf.").arg(out));
    const QString target = QFileInfo(out).absoluteFilePath();
    if (QFileInfo(target).isDir())
        return c.fail(QStringLiteral("\"%1\" is a folder.").arg(target));
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return c.fail(QStringLiteral("report needs Qt's GUI side to lay out text."));

    const QString db = c.database();
    if (!QFileInfo::exists(db))
        return c.fail(QStringLiteral("\"%1\" does not exist.").arg(db));
    std::optional<reports::Report> report;
    try {
        const auto connection = Connection::openFile(db);
        report = byLocation ? reports::locationReport(*connection, c.folder, location, options)
                            : reports::investigationReport(*connection, c.folder, key, QString(), options);
    } catch (const DbError& e) {
        return c.fail(e.text());
    }
    if (!report) {
        c.err << "veilcase-cli: "
              << (byLocation ? QStringLiteral("no location is named \"%1\".").arg(location)
                             : QStringLiteral("no investigation has the key \"%1\".").arg(key))
              << Qt::endl;
        return kNo;
    }
    QString why;
    if (!reports::writeReport(*report, target, *format, &why))
        return c.fail(QStringLiteral("\"%1\" could not be written: %2").arg(target, why));
    c.out << "wrote " << report->title << " to " << target << Qt::endl;
    return kOk;
}

} // namespace veil::cli
