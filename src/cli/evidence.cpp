// The commands on an investigation's evidence log: the two imports and the
// merged timeline.
#include "cli/cli.h"

#include "store/evidence.h"

#include <QFile>
#include <QFileInfo>

namespace veil::cli {

namespace {

using namespace veil::evidence;

// Takes "--name VALUE" out of the arguments; false when the value is missing.
bool takeOption(QStringList& args, const QString& name, QString* value) {
    const qsizetype i = args.indexOf(name);
    if (i < 0)
        return true;
    if (i + 1 >= args.size())
        return false;
    *value = args.at(i + 1);
    args.remove(i, 2);
    return true;
}

bool readAll(const QString& path, QByteArray* data, QString* why) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("\"%1\" cannot be read: %2").arg(path, f.errorString());
        return false;
    }
    *data = f.readAll();
    return true;
}

// Reports the plan's bad lines; true when the import may go on.
bool acceptProblems(Context& c, const ImportPlan& plan, bool skipBad, const QString& file) {
    for (const QString& p : plan.problems)
        c.err << file << ": " << p << Qt::endl;
    if (plan.problems.isEmpty() || skipBad)
        return true;
    c.err << "veilcase-cli: nothing imported; fix the lines above or give --skip-bad to import the others."
          << Qt::endl;
    return false;
}

// Opens the case file and finds the investigation; false once it has said why not.
bool openNight(Context& c, const QString& key, std::unique_ptr<Connection>* db, Night* night) {
    *db = Connection::open(c.folder);
    const auto found = findNight(**db, key);
    if (!found) {
        c.fail(QStringLiteral("no investigation has the key \"%1\".").arg(key));
        return false;
    }
    *night = *found;
    return true;
}

int report(Context& c, const ImportResult& r) {
    c.out << "added " << r.added << ", already there " << r.alreadyThere << Qt::endl;
    return kOk;
}

int importLabels(Context& c, QStringList args) {
    QString start;
    if (!takeOption(args, QStringLiteral("--start"), &start))
        return c.fail(QStringLiteral("--start needs a time (HH:MM:SS[.mmm])."));
    const bool skipBad = args.removeAll(QStringLiteral("--skip-bad")) > 0;
    if (args.size() != 3)
        return c.fail(QStringLiteral("evidence import-labels takes KEY MEDIA LABELS."));
    const QString& media = args[1];
    const QString& labelsFile = args[2];
    std::unique_ptr<Connection> db;
    Night night;
    QByteArray labels;
    QString why;
    if (!openNight(c, args[0], &db, &night))
        return kError;
    if (!readAll(labelsFile, &labels, &why))
        return c.fail(why);

    qint64 startAt = 0;
    if (!start.isEmpty()) {
        const auto tod = parseTimeOfDay(start);
        if (!tod)
            return c.fail(QStringLiteral("--start \"%1\" is not a time of day (HH:MM:SS[.mmm]).").arg(start));
        startAt = placeTimeOfDay(*tod, night);
    } else if (const auto began = recordingStart(media)) {
        const auto at = placeDateTime(*began, night);
        if (!at)
            return c.fail(QStringLiteral("the recording began %1, not on the investigation's night; give --start.")
                              .arg(began->toString(Qt::ISODate)));
        startAt = *at;
    } else {
        return c.fail(QStringLiteral("\"%1\" does not say when it began; give --start HH:MM:SS.").arg(media));
    }

    // Checked before the media is copied, so a refused import copies nothing.
    if (!acceptProblems(c, planLabels(labels, night, QString(), 0), skipBad, labelsFile))
        return kNo;
    const QString stored = attachMedia(c.folder, night, media, &why);
    if (stored.isEmpty())
        return c.fail(why);
    return report(c, apply(*db, planLabels(labels, night, stored, startAt)));
}

int importReadings(Context& c, QStringList args) {
    const bool skipBad = args.removeAll(QStringLiteral("--skip-bad")) > 0;
    if (args.size() != 2)
        return c.fail(QStringLiteral("evidence import-readings takes KEY CSV."));
    std::unique_ptr<Connection> db;
    Night night;
    QByteArray csv;
    QString why;
    if (!openNight(c, args[0], &db, &night))
        return kError;
    if (!readAll(args[1], &csv, &why))
        return c.fail(why);
    const ImportPlan plan = planReadings(csv, QFileInfo(args[1]).fileName(), night);
    if (!acceptProblems(c, plan, skipBad, args[1]))
        return kNo;
    return report(c, apply(*db, plan));
}

} // namespace

int evidenceCommand(Context& c, const QStringList& arguments) {
    QStringList args = arguments;
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    try {
        if (sub == QLatin1String("import-labels"))
            return importLabels(c, args);
        if (sub == QLatin1String("import-readings"))
            return importReadings(c, args);
    } catch (const DbError& e) {
        return c.fail(e.text());
    }
    return c.fail(QStringLiteral("evidence takes import-labels or import-readings."));
}

int timelineCommand(Context& c, const QStringList& arguments) {
    if (arguments.size() != 1)
        return c.fail(QStringLiteral("timeline takes one KEY."));
    try {
        std::unique_ptr<Connection> db;
        Night night;
        if (!openNight(c, arguments[0], &db, &night))
            return kError;
        if (!night.date.isValid())
            return c.fail(QStringLiteral("the investigation \"%1\" has no date that times can be put on.")
                              .arg(arguments[0]));
        const Timeline t = timeline(*db, c.folder, night);
        for (const TimelineEntry& e : t.entries) {
            QString what = e.what;
            what.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            c.out << formatTime(night, e.atMs) << '\t' << e.kind << '\t' << what << '\n';
        }
        c.out.flush();
        return t.entries.isEmpty() ? kNo : kOk;
    } catch (const DbError& e) {
        return c.fail(e.text());
    }
}

} // namespace veil::cli
