#include "store/evidence.h"

#include "store/casekey.h"
#include "store/filehash.h"
#include "store/fileroutines.h"
#include "store/paths.h"
#include "store/photometadata.h"
#include "store/statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace veil::evidence {

const QStringList& kinds() {
    static const QStringList all{"EVP",    "audio",    "video", "photo", "EMF",   "temperature",     "motion",
                                 "sighting", "sound", "touch", "smell", "equipment fault", "other"};
    return all;
}
const QStringList& statuses() {
    static const QStringList all{"unexplained", "explained", "inconclusive"};
    return all;
}
const QStringList& evpClasses() {
    static const QStringList all{"A", "B", "C"};
    return all;
}

namespace {

const char* const kColumns = "id, FullDate_Time, at_ms, kind, area, investigator, device, reading, unit, media_path, "
                             "clip_start_ms, clip_length_ms, evp_class, status, explanation, note, source";

Finding readFinding(const Stmt& s) {
    Finding f;
    f.id = s.integer(0);
    f.investigation = s.text(1);
    f.atMs = s.integer(2);
    f.kind = s.text(3);
    f.area = s.text(4);
    f.investigator = s.text(5);
    f.device = s.text(6);
    if (!s.isNull(7))
        f.reading = s.real(7);
    f.unit = s.text(8);
    f.mediaPath = s.text(9);
    if (!s.isNull(10))
        f.clipStartMs = s.integer(10);
    if (!s.isNull(11))
        f.clipLengthMs = s.integer(11);
    f.evpClass = s.text(12);
    f.status = s.text(13);
    f.explanation = s.text(14);
    f.note = s.text(15);
    f.source = s.text(16);
    return f;
}

// Binds the fields after id, from parameter 1 on.
void bindFinding(Stmt& s, const Finding& f) {
    s.bind(1, f.investigation);
    s.bind(2, f.atMs);
    s.bind(3, f.kind.isEmpty() ? QStringLiteral("other") : f.kind);
    s.bindOrNull(4, f.area);
    s.bindOrNull(5, f.investigator);
    s.bindOrNull(6, f.device);
    s.bindOrNull(7, f.reading);
    s.bindOrNull(8, f.unit);
    s.bindOrNull(9, f.mediaPath);
    s.bindOrNull(10, f.clipStartMs);
    s.bindOrNull(11, f.clipLengthMs);
    s.bindOrNull(12, f.evpClass);
    s.bindOrNull(13, f.status);
    s.bindOrNull(14, f.explanation);
    s.bindOrNull(15, f.note);
    s.bindOrNull(16, f.source);
}

const QString kInsert = QStringLiteral(
    "INSERT INTO vc_evidence (FullDate_Time, at_ms, kind, area, investigator, device, reading, unit, media_path, "
    "clip_start_ms, clip_length_ms, evp_class, status, explanation, note, source) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)");

std::optional<int> number(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

// A typed date or time as the record holds it (the parts exactly as typed).
QDate typedDate(const Record& r) {
    const auto m = number(r.text("Date_Month")), d = number(r.text("Date_Day")), y = number(r.text("Date_Year"));
    if (!m || !d || !y)
        return {};
    return QDate(*y < 100 ? *y + 2000 : *y, *m, *d);
}

std::optional<qint64> typedTime(const Record& r) {
    auto h = number(r.text("Time_Hour"));
    const auto m = number(r.text("Time_Min"));
    const QString ap = r.text("Time_AP").trimmed().toLower();
    if (!h || !m || *m < 0 || *m > 59)
        return std::nullopt;
    if (ap == QLatin1String("am") || ap == QLatin1String("pm")) {
        if (*h < 1 || *h > 12)
            return std::nullopt;
        *h = *h % 12 + (ap == QLatin1String("pm") ? 12 : 0);
    } else if (*h < 0 || *h > 23) {
        return std::nullopt;
    }
    return qint64(*h) * 3600000 + qint64(*m) * 60000;
}

} // namespace

std::optional<Night> findNight(Connection& db, const QString& key) {
    const auto rec = db.findFirst(tables::investigations, {{QStringLiteral("FullDate_Time"), key}});
    if (!rec)
        return std::nullopt;
    Night n;
    n.key = key;
    n.location = rec->text("Location");
    n.id = rec->text("ID").toLongLong();
    n.date = typedDate(*rec);
    n.startMs = typedTime(*rec);
    return n;
}

QList<Finding> findings(Connection& db, const QString& key) {
    Stmt s(db, QStringLiteral("SELECT %1 FROM vc_evidence WHERE FullDate_Time = ?1 ORDER BY at_ms, id")
                   .arg(QLatin1String(kColumns)));
    s.bind(1, key);
    QList<Finding> out;
    while (s.step())
        out << readFinding(s);
    return out;
}

std::optional<Finding> finding(Connection& db, qint64 id) {
    Stmt s(db, QStringLiteral("SELECT %1 FROM vc_evidence WHERE id = ?1").arg(QLatin1String(kColumns)));
    s.bind(1, id);
    if (!s.step())
        return std::nullopt;
    return readFinding(s);
}

void save(Connection& db, QList<Finding>& changed, const QList<qint64>& deleted) {
    WriteTransaction t(db);
    Stmt insert(db, kInsert);
    Stmt update(db, QStringLiteral("UPDATE vc_evidence SET FullDate_Time = ?1, at_ms = ?2, kind = ?3, area = ?4, "
                                   "investigator = ?5, device = ?6, reading = ?7, unit = ?8, media_path = ?9, "
                                   "clip_start_ms = ?10, clip_length_ms = ?11, evp_class = ?12, status = ?13, "
                                   "explanation = ?14, note = ?15, source = ?16 WHERE id = ?17"));
    Stmt remove(db, QStringLiteral("DELETE FROM vc_evidence WHERE id = ?1"));
    QList<qint64> newIds;
    for (const Finding& f : changed) {
        Stmt& s = f.id ? update : insert;
        s.reset();
        bindFinding(s, f);
        if (f.id)
            s.bind(17, f.id);
        s.step();
        newIds << (f.id ? f.id : sqlite3_last_insert_rowid(db.handle()));
    }
    for (qint64 id : deleted) {
        remove.reset();
        remove.bind(1, id);
        remove.step();
    }
    t.commit();
    for (qsizetype i = 0; i < changed.size(); ++i)
        changed[i].id = newIds[i]; // only once they are stored
}

QStringList areas(Connection& db, const QString& key) {
    Stmt s(db, QStringLiteral("SELECT DISTINCT area FROM vc_evidence WHERE FullDate_Time = ?1 AND area <> '' "
                              "ORDER BY area"));
    s.bind(1, key);
    QStringList out;
    while (s.step())
        out << s.text(0);
    return out;
}

// ---- Times ----

std::optional<qint64> parseTimeOfDay(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:[.,](\\d{1,3}))?)?$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int h = m.captured(1).toInt(), mi = m.captured(2).toInt(), s = m.captured(3).toInt();
    const QString frac = m.captured(4);
    if (h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    const int ms = frac.isEmpty() ? 0 : (frac + QStringLiteral("00")).left(3).toInt();
    return ((qint64(h) * 60 + mi) * 60 + s) * 1000 + ms;
}

qint64 placeTimeOfDay(qint64 timeOfDayMs, const Night& night, std::optional<qint64> previousAtMs) {
    const qint64 floor = previousAtMs ? *previousAtMs - kDayMs / 2
                                      : (night.startMs ? *night.startMs - kDayMs / 4 : 0);
    qint64 at = timeOfDayMs;
    while (at < floor)
        at += kDayMs;
    return at;
}

std::optional<qint64> placeDateTime(const QDateTime& local, const Night& night) {
    if (!night.date.isValid() || !local.isValid())
        return std::nullopt;
    const qint64 days = night.date.daysTo(local.date());
    if (days < 0)
        return std::nullopt;
    return days * kDayMs + local.time().msecsSinceStartOfDay();
}

QString formatTime(const Night& night, qint64 atMs) {
    const qint64 day = atMs >= 0 ? atMs / kDayMs : (atMs - kDayMs + 1) / kDayMs;
    const QTime t = QTime::fromMSecsSinceStartOfDay(int(atMs - day * kDayMs));
    return night.date.addDays(day).toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('T') +
           t.toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString formatClock(qint64 atMs) {
    const qint64 day = atMs >= 0 ? atMs / kDayMs : (atMs - kDayMs + 1) / kDayMs;
    const QString clock =
        QTime::fromMSecsSinceStartOfDay(int(atMs - day * kDayMs)).toString(QStringLiteral("HH:mm:ss.zzz"));
    return day == 0 ? clock : QStringLiteral("%1%2d %3").arg(day > 0 ? "+" : "").arg(day).arg(clock);
}

// ---- Imports ----

ImportResult apply(Connection& db, const ImportPlan& plan) {
    ImportResult r;
    WriteTransaction t(db);
    Stmt seen(db, QStringLiteral("SELECT 1 FROM vc_evidence WHERE FullDate_Time = ?1 AND source = ?2"));
    Stmt insert(db, kInsert);
    for (const Finding& f : plan.findings) {
        seen.reset();
        seen.bind(1, f.investigation);
        seen.bind(2, f.source);
        if (!f.source.isEmpty() && seen.step()) {
            ++r.alreadyThere;
            continue;
        }
        insert.reset();
        bindFinding(insert, f);
        insert.step();
        ++r.added;
    }
    t.commit();
    return r;
}

namespace {

QStringList splitLines(const QByteArray& data) {
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

std::optional<double> decimal(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok); // C locale: a decimal point
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

QString lineProblem(int line, const QString& why) { return QStringLiteral("line %1: %2").arg(line).arg(why); }

// The kind a label begins with ("Sound: knock", "video door"), if any.
QString leadingKind(const QString& label, QString* rest) {
    for (const QString& k : kinds()) {
        if (!label.startsWith(k, Qt::CaseInsensitive))
            continue;
        const QString after = label.mid(k.size());
        if (!after.isEmpty() && after.front() != QLatin1Char(':') && !after.front().isSpace())
            continue;
        *rest = after.startsWith(QLatin1Char(':')) ? after.mid(1).trimmed() : after.trimmed();
        return k;
    }
    *rest = label;
    return QStringLiteral("EVP");
}

} // namespace

ImportPlan planLabels(const QByteArray& labels, const Night& night, const QString& storedMedia,
                      qint64 recordingStartAtMs) {
    static const QRegularExpression evpClass(QStringLiteral("\\bclass\\s*([ABC])\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    ImportPlan plan;
    const QStringList lines = splitLines(labels);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('\\')))
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        const auto start = decimal(parts.value(0)), end = decimal(parts.value(1));
        if (parts.size() < 2 || !start || !end || *start < 0 || *end < *start || *end > 1e7) {
            plan.problems << lineProblem(i + 1, QStringLiteral("not start<TAB>end<TAB>label in seconds"));
            continue;
        }
        Finding f;
        f.investigation = night.key;
        const QString label = parts.mid(2).join(QLatin1Char(' ')).trimmed();
        f.kind = leadingKind(label, &f.note);
        if (const auto m = evpClass.match(label); m.hasMatch() && f.kind == QLatin1String("EVP"))
            f.evpClass = m.captured(1).toUpper();
        f.mediaPath = storedMedia;
        f.clipStartMs = qRound64(*start * 1000);
        f.clipLengthMs = qRound64(*end * 1000) - *f.clipStartMs;
        f.atMs = recordingStartAtMs + *f.clipStartMs;
        f.source = QStringLiteral("labels:%1:%2").arg(storedMedia, line.trimmed());
        plan.findings << f;
    }
    return plan;
}

namespace {

// One CSV record's fields: commas separate, double quotes quote ("" is one).
QStringList csvFields(const QString& line) {
    QStringList out;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                field += c, ++i;
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            out << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    out << field.trimmed();
    return out;
}

QString kindForUnit(const QString& unit) {
    const QString u = unit.trimmed();
    if (u.compare(QLatin1String("mG"), Qt::CaseInsensitive) == 0 || u == QLatin1String("µT") ||
        u == QLatin1String("uT") || u == QLatin1String("G"))
        return QStringLiteral("EMF");
    if (u.contains(QChar(0x00b0)) || u == QLatin1String("C") || u == QLatin1String("F") || u == QLatin1String("K"))
        return QStringLiteral("temperature");
    return QStringLiteral("other");
}

} // namespace

ImportPlan planReadings(const QByteArray& csv, const QString& fileName, const Night& night) {
    ImportPlan plan;
    const QStringList lines = splitLines(csv);
    int header = 0;
    while (header < lines.size() && lines[header].trimmed().isEmpty())
        ++header;
    QHash<QString, int> column;
    const QStringList names = csvFields(lines.value(header));
    for (int i = 0; i < names.size(); ++i)
        column.insert(names[i].toLower(), i);
    if (!column.contains(QStringLiteral("time")) || !column.contains(QStringLiteral("value"))) {
        plan.problems << lineProblem(header + 1, QStringLiteral("the header row must name a time and a value column"));
        return plan;
    }
    auto get = [&column](const QStringList& fields, const char* name) {
        return fields.value(column.value(QLatin1String(name), -1)).trimmed();
    };
    std::optional<qint64> previous;
    for (int i = header + 1; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        const QStringList fields = csvFields(lines[i]);
        const QString timeText = get(fields, "time");
        const auto value = decimal(get(fields, "value"));
        if (!value) {
            plan.problems << lineProblem(i + 1, QStringLiteral("the value \"%1\" is not a number").arg(get(fields, "value")));
            continue;
        }
        std::optional<qint64> at;
        if (const auto tod = parseTimeOfDay(timeText)) {
            at = placeTimeOfDay(*tod, night, previous);
        } else {
            const QDateTime dt = QDateTime::fromString(timeText, Qt::ISODateWithMs);
            if (!dt.isValid()) {
                plan.problems << lineProblem(i + 1, QStringLiteral("the time \"%1\" is neither an ISO 8601 date-time "
                                                                   "nor a time of day").arg(timeText));
                continue;
            }
            at = placeDateTime(dt.timeSpec() == Qt::LocalTime ? dt : dt.toLocalTime(), night);
            if (!at) {
                plan.problems << lineProblem(i + 1, night.date.isValid()
                                                        ? QStringLiteral("%1 is before the investigation's date").arg(timeText)
                                                        : QStringLiteral("the investigation's date is not a date"));
                continue;
            }
        }
        previous = at;
        Finding f;
        f.investigation = night.key;
        f.atMs = *at;
        f.reading = value;
        f.unit = get(fields, "unit");
        const QString kind = get(fields, "kind");
        f.kind = kinds().contains(kind) ? kind : kindForUnit(f.unit);
        f.area = get(fields, "area");
        f.device = get(fields, "device");
        f.note = get(fields, "note");
        f.source = QStringLiteral("readings:%1:%2").arg(fileName, lines[i].trimmed());
        plan.findings << f;
    }
    return plan;
}

// ---- Media ----

namespace {

quint32 le32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(b.constData() + at);
    return p[0] | p[1] << 8 | p[2] << 16 | quint32(p[3]) << 24;
}
quint32 be32(const uchar* p) { return quint32(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// The bext chunk's OriginationDate and OriginationTime, local wall-clock time.
std::optional<QDateTime> bextStart(QFile& f) {
    const QByteArray head = f.read(12);
    if (head.size() < 12 || (!head.startsWith("RIFF") && !head.startsWith("RF64")) || head.mid(8, 4) != "WAVE")
        return std::nullopt;
    for (int chunks = 0; chunks < 64; ++chunks) {
        const QByteArray ch = f.read(8);
        if (ch.size() < 8)
            break;
        const quint32 size = le32(ch, 4);
        if (ch.startsWith("bext")) {
            const QByteArray body = f.read(qMin<quint32>(size, 338));
            if (body.size() < 338)
                return std::nullopt;
            const QDateTime t = QDateTime::fromString(QString::fromLatin1(body.mid(320, 18)),
                                                      QStringLiteral("yyyy-MM-ddhh:mm:ss"));
            if (t.isValid())
                return t;
            // Some recorders write other separators: "yyyy:MM:dd", "hh-mm-ss".
            QByteArray fixed = body.mid(320, 18);
            for (int i : {4, 7})
                fixed[i] = '-';
            for (int i : {12, 15})
                fixed[i] = ':';
            const QDateTime again = QDateTime::fromString(QString::fromLatin1(fixed), QStringLiteral("yyyy-MM-ddhh:mm:ss"));
            return again.isValid() ? std::optional<QDateTime>(again) : std::nullopt;
        }
        if (!f.seek(f.pos() + size + (size & 1)))
            break;
    }
    return std::nullopt;
}

// The movie header's creation time (seconds since 1904 in UTC), as local time.
std::optional<QDateTime> mvhdStart(QFile& f) {
    f.seek(0);
    // The header sits in moov, at the start or the end of the file; look in both.
    const qint64 window = 4 << 20;
    QByteArray data = f.read(window);
    if (f.size() > window) {
        f.seek(f.size() - window);
        data += f.read(window);
    }
    for (qsizetype at = data.indexOf("mvhd"); at >= 4; at = data.indexOf("mvhd", at + 4)) {
        if (at + 16 > data.size())
            break;
        const auto* p = reinterpret_cast<const uchar*>(data.constData() + at + 4);
        const int version = p[0];
        quint64 secs = 0;
        if (version == 1 && at + 20 <= data.size())
            secs = quint64(be32(p + 4)) << 32 | be32(p + 8);
        else if (version == 0)
            secs = be32(p + 4);
        else
            continue;
        if (secs == 0)
            continue; // many cameras leave it unset
        const QDateTime epoch(QDate(1904, 1, 1), QTime(0, 0), Qt::UTC);
        return epoch.addSecs(qint64(secs)).toLocalTime();
    }
    return std::nullopt;
}

bool sameContent(const QString& a, const QString& b) {
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    }
    return true;
}

} // namespace

std::optional<QDateTime> recordingStart(const QString& mediaFile) {
    QFile f(mediaFile);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (auto t = bextStart(f))
        return t;
    return mvhdStart(f);
}

QString attachMedia(const QString& programFolder, const Night& night, const QString& mediaFile, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QString();
    };
    const QFileInfo from(mediaFile);
    if (!from.isFile())
        return fail(QStringLiteral("\"%1\" is not a file.").arg(mediaFile));
    const QString name = from.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1);
    if (QString p = fileNameProblem(base, ext, KeyUse::StoredPathPart); !p.isEmpty())
        return fail(p);
    const QString folder = files::investigations + QString::number(night.id) + QStringLiteral("\\media\\");
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = n == 1 ? name : QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(dot < 0 ? QString() : QLatin1Char('.') + ext);
        const QString target = programFile(programFolder, folder, candidate);
        if (QFileInfo::exists(target)) {
            if (sameContent(mediaFile, target))
                return folder + candidate;
            continue; // another recording of that name stays as it is
        }
        // Copied and fingerprinted as every file the program takes in.
        if (!attachFile(programFolder, mediaFile, target, folder + candidate) || !sameContent(mediaFile, target))
            return fail(QStringLiteral("\"%1\" could not be copied to \"%2\".").arg(mediaFile, target));
        return folder + candidate;
    }
    return fail(QStringLiteral("too many different files are named \"%1\" already.").arg(name));
}

// ---- Pictures' times ----

std::optional<QDateTime> pictureTakenAt(const QString& file) {
    const QDateTime taken = photoDateTaken(file);
    if (!taken.isValid())
        return std::nullopt;
    // The camera's clock as it read, like the times typed for the night.
    return QDateTime(taken.date(), taken.time());
}

// ---- The merged night ----

Timeline timeline(Connection& db, const QString& programFolder, const Night& night) {
    Timeline t;
    t.night = night;
    for (const Finding& f : findings(db, night.key)) {
        TimelineEntry e;
        e.atMs = f.atMs;
        e.lengthMs = f.clipLengthMs.value_or(0);
        e.kind = f.kind;
        QStringList what;
        if (f.reading)
            what << QStringLiteral("%1 %2").arg(*f.reading).arg(f.unit).trimmed();
        for (const QString& s : {f.area, f.investigator, f.note})
            if (!s.isEmpty())
                what << s;
        e.what = what.join(QStringLiteral(" · "));
        e.area = f.area;
        e.investigator = f.investigator;
        e.finding = f;
        t.entries << e;
    }
    Cursor& pictures = db.openTable(tables::pictures);
    for (; !pictures.eof(); pictures.moveNext()) {
        if (pictures.isNull("Investigation") || pictures.field("Investigation") != night.key)
            continue;
        const QString title = pictures.field("Title");
        const QString stored = pictures.field("Path");
        const auto taken = pictureTakenAt(storedPicturePath(programFolder, files::investigations, stored));
        const auto at = taken ? placeDateTime(*taken, night) : std::nullopt;
        if (!at) {
            t.untimedPictures << title;
            continue;
        }
        TimelineEntry e;
        e.source = TimelineEntry::PictureEntry;
        e.atMs = *at;
        e.kind = QStringLiteral("picture");
        e.what = title;
        e.ref = stored;
        t.entries << e;
    }
    pictures.close();
    Cursor& interviews = db.openTable(tables::interview);
    for (; !interviews.eof(); interviews.moveNext()) {
        const Record& r = interviews.record();
        if (r.isNull("Investigation") || r.text("Investigation") != night.key)
            continue;
        const auto tod = typedTime(r);
        if (!tod)
            continue;
        const QDate date = typedDate(r);
        const auto at = date.isValid() && night.date.isValid()
                            ? placeDateTime(QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(*tod))), night)
                            : std::optional<qint64>(placeTimeOfDay(*tod, night));
        if (!at)
            continue;
        TimelineEntry e;
        e.source = TimelineEntry::InterviewEntry;
        e.atMs = *at;
        e.kind = QStringLiteral("interview");
        e.what = r.text("Name");
        e.investigator = r.text("Interviewer");
        e.ref = r.text("FullDate_Time");
        t.entries << e;
    }
    interviews.close();
    std::stable_sort(t.entries.begin(), t.entries.end(),
                     [](const TimelineEntry& a, const TimelineEntry& b) { return a.atMs < b.atMs; });
    return t;
}

} // namespace veil::evidence
