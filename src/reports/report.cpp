#include "reports/report.h"

#include "reports/evidencelog.h"
#include "reports/thumbnails.h"
#include "store/casedb.h"
#include "store/casekey.h"
#include "store/paths.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

namespace veil::reports {

namespace {

// Understood alike by browsers and by Qt's rich text, which draws the PDF
// (hence lengths in px: Qt takes no pt for margins and padding); what only a
// browser knows (the print rules, borders on headings) Qt leaves aside. No
// border-collapse: it makes Qt lay out a long evidence log several times slower.
const char* const kStyle = R"css(
body { font-family: "DejaVu Sans", "Helvetica Neue", Arial, sans-serif; font-size: 10pt; color: #1a1a1a;
       max-width: 48em; margin: 2em auto; padding: 0 1em; }
h1 { font-size: 20pt; margin-top: 0; margin-bottom: 2px; }
h2 { font-size: 14pt; color: #2b3a55; margin-top: 22px; margin-bottom: 6px; border-bottom: 1px solid #c8ccd4;
     page-break-after: avoid; }
h3 { font-size: 11pt; margin-top: 12px; margin-bottom: 4px; page-break-after: avoid; }
p { margin-top: 0; margin-bottom: 6px; }
ul { margin-top: 0; margin-bottom: 6px; }
.subtitle { font-size: 12pt; color: #444444; margin-bottom: 14px; }
.text { white-space: pre-wrap; }
table.facts th { text-align: left; font-weight: normal; color: #555555; padding: 2px 16px 2px 0; vertical-align: top; }
table.facts td { padding: 2px 0; vertical-align: top; }
table.log { font-size: 9pt; }
table.log th { text-align: left; background-color: #e8ebf0; padding: 3px 6px; }
table.log td { padding: 3px 6px; vertical-align: top; border-bottom: 1px solid #e1e4ea; }
table.log td.short { white-space: nowrap; }
table.grid td { vertical-align: top; padding: 6px; }
.caption { font-weight: bold; margin-top: 4px; margin-bottom: 2px; }
.meta { color: #555555; font-size: 9pt; }
.missing { color: #8a2b2b; font-size: 9pt; }
.made { color: #777777; font-size: 8pt; margin-top: 24px; }
@media print { body { margin: 0; max-width: none; } tr, img { page-break-inside: avoid; } }
)css";

constexpr int kGridColumns = 3;
// Three to a row across A4 or Letter inside the margins, in CSS pixels.
constexpr QSize kShownPicture{200, 150};

// Case-file text as HTML text: escaped, control characters dropped, line ends
// unified (the style keeps them).
QString esc(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    t.removeIf([](QChar c) { return c.category() == QChar::Other_Control && c != u'\n' && c != u'\t'; });
    return t.toHtmlEscaped();
}
// The same for a short value inside a table cell, where line ends become breaks.
QString escLines(const QString& text) { return esc(text.trimmed()).replace(QLatin1Char('\n'), QLatin1String("<br>")); }

using Rows = QList<QPair<QString, QString>>;

// Label and value rows; rows without a value are left out, and no rows give nothing.
QString facts(const Rows& rows) {
    QString out;
    for (const auto& [label, value] : rows)
        if (!value.trimmed().isEmpty())
            out += QStringLiteral("<tr><th>%1</th><td>%2</td></tr>\n").arg(esc(label), escLines(value));
    return out.isEmpty() ? out : QStringLiteral("<table class=\"facts\" cellspacing=\"0\">\n") + out +
                                     QStringLiteral("</table>\n");
}

QString textBlock(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() ? QString() : QStringLiteral("<p class=\"text\">%1</p>\n").arg(esc(t));
}

QString heading(int level, const QString& text) { return QStringLiteral("<h%1>%2</h%1>\n").arg(level).arg(esc(text)); }

// A part with its heading, or nothing when it has nothing to show.
QString part(int level, const QString& title, const QString& body) {
    return body.isEmpty() ? QString() : heading(level, title) + body;
}

QStringList allItems(const QString& listText) { return listItems(listText, int(listText.count(u',')) + 1); }

QString joinedText(const QStringList& parts, const QString& separator) {
    QStringList kept;
    for (const QString& p : parts)
        if (!p.trimmed().isEmpty())
            kept << p.trimmed();
    return kept.join(separator);
}

// The date and time as typed, "10-31-2005 11:45 pm"; a part left empty is left out.
QString whenText(const Record& r) {
    const auto f = [&r](const char* field) { return r.text(QLatin1String(field)).trimmed(); };
    const QString date = joinedText({f("Date_Month"), f("Date_Day"), f("Date_Year")}, QStringLiteral("-"));
    const QString time = f("Time_Hour").isEmpty() && f("Time_Min").isEmpty()
        ? QString()
        : f("Time_Hour") + u':' + f("Time_Min");
    return joinedText({date, time, f("Time_AP")}, QStringLiteral(" "));
}

// When the investigation happened, for putting investigations in order; dates
// typed in some other way have none and go last.
std::optional<std::pair<QDate, int>> happened(const Record& r) {
    bool ok[5];
    const int month = r.text(QStringLiteral("Date_Month")).trimmed().toInt(&ok[0]);
    const int day = r.text(QStringLiteral("Date_Day")).trimmed().toInt(&ok[1]);
    int year = r.text(QStringLiteral("Date_Year")).trimmed().toInt(&ok[2]);
    int hour = r.text(QStringLiteral("Time_Hour")).trimmed().toInt(&ok[3]);
    int minute = r.text(QStringLiteral("Time_Min")).trimmed().toInt(&ok[4]);
    if (!ok[0] || !ok[1] || !ok[2])
        return std::nullopt;
    if (year < 100)
        year += year < 70 ? 2000 : 1900; // "06" is 2006, as it was typed on the night
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    if (!ok[3])
        hour = 0;
    if (!ok[4])
        minute = 0;
    const QString ap = r.text(QStringLiteral("Time_AP")).trimmed().toLower();
    if (hour == 12 && ap.startsWith(u'a'))
        hour = 0;
    else if (hour < 12 && ap.startsWith(u'p'))
        hour += 12;
    return std::pair{date, hour * 60 + minute};
}

QString countsText(const QList<QPair<QString, int>>& counts) {
    QStringList parts;
    for (const auto& [what, n] : counts)
        parts << QStringLiteral("%1 %2").arg(n).arg(what);
    return parts.join(QLatin1String(", "));
}

QString findingsSentence(int n) { return n == 1 ? QStringLiteral("1 finding") : QStringLiteral("%1 findings").arg(n); }

QString seconds(qint64 ms) { return QString::number(double(ms) / 1000.0, 'f', ms % 1000 ? 1 : 0) + QStringLiteral(" s"); }

class Builder {
public:
    Builder(Connection& db, const QString& programFolder, const Options& options)
        : m_db(db), m_folder(programFolder), m_options(options) {}

    Report investigation(const Record& inv);
    Report location(const Record& loc);

private:
    Report finish(const QString& title, const QString& kind, const QString& subtitle, const QString& body);
    QString picture(const Thumbnail& t, const QSize& shown = kShownPicture);
    QString locationPart(const Record& loc, bool wholePlace);
    QString conditions(const Record& inv);
    QString team(const Record& inv);
    QString interviews(const Record& inv);
    QString evidence(const QString& key);
    QString pictures(const QString& key);
    QString findingsTable(const QList<Finding>& findings);

    Connection& m_db;
    QString m_folder;
    Options m_options;
    QList<QByteArray> m_images;
};

// Pictures are held at a finer size than shown, so they print sharp.
QString Builder::picture(const Thumbnail& t, const QSize& shown) {
    m_images << t.bytes;
    const QSize size = t.size.scaled(shown, Qt::KeepAspectRatio);
    return QStringLiteral("<img src=\"image:%1\" width=\"%2\" height=\"%3\" alt=\"\">")
        .arg(m_images.size() - 1)
        .arg(size.width())
        .arg(size.height());
}

Report Builder::finish(const QString& title, const QString& kind, const QString& subtitle, const QString& body) {
    Report r;
    r.title = title;
    r.html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                            "<title>%1</title>\n<style>%2</style>\n</head>\n<body>\n")
                 .arg(esc(title), QLatin1String(kStyle));
    r.html += heading(1, kind) + QStringLiteral("<p class=\"subtitle\">%1</p>\n").arg(esc(subtitle)) + body;
    r.html += QStringLiteral("<p class=\"made\">Made with Veilcase on %1.</p>\n</body>\n</html>\n")
                  .arg(QDate::currentDate().toString(Qt::ISODate));
    r.images = m_images;
    return r;
}

QString Builder::locationPart(const Record& loc, bool wholePlace) {
    const auto f = [&loc](const char* field) { return loc.text(QLatin1String(field)); };
    QString out = facts({{QStringLiteral("Name"), f("LocationName")},
                         {QStringLiteral("Address"), joinedText({f("LocationAddress1"), f("LocationAddress2")},
                                                                QStringLiteral("\n"))}});
    if (wholePlace && !f("Image").isEmpty()) {
        const Thumbnail t = thumbnail(storedPicturePath(m_folder, files::locations, f("Image")));
        out += QStringLiteral("<p>%1</p>\n").arg(picture(t));
        if (t.missing)
            out += QStringLiteral("<p class=\"missing\">The location's photo file is missing or damaged.</p>\n");
    }
    if (m_options.contacts)
        out += part(3, QStringLiteral("Contact Information"),
                    facts({{QStringLiteral("Name"), f("ContactName")},
                           {QStringLiteral("Phone"), f("Phone")},
                           {QStringLiteral("Cell"), f("Cell")},
                           {QStringLiteral("E-Mail"), f("Email")}}));
    out += part(3, QStringLiteral("Background Summary"), textBlock(f("Background")));
    out += part(3, QStringLiteral("Occupant History"), textBlock(f("History")));
    if (wholePlace) {
        out += part(3, QStringLiteral("Special Notes"), textBlock(f("Notes")));
        out += part(3, QStringLiteral("Driving Directions"), textBlock(f("Directions")));
    }
    return out;
}

QString Builder::conditions(const Record& inv) {
    const auto f = [&inv](const char* field) { return inv.text(QLatin1String(field)); };
    return facts({{QStringLiteral("Outside Temp"), f("Outside_Temp")},
                  {QStringLiteral("Inside Temp"), f("Inside_Temp")},
                  {QStringLiteral("Humidity"), f("Humidity")},
                  {QStringLiteral("Moon Phase"), f("Moon_Phase")},
                  {QStringLiteral("Wind Speed"), f("Wind_Speed")},
                  {QStringLiteral("Weather"), f("Weather")},
                  {QStringLiteral("Barometer"), f("Barometer")}});
}

// The members with their titles and the equipment with what it is, as the
// roster and the inventory know them.
QString Builder::team(const Record& inv) {
    Rows members, equipment;
    for (const QString& name : allItems(inv.text(QStringLiteral("investigators")))) {
        const auto who = m_db.findFirst(tables::investigators, {{QStringLiteral("Name"), name}});
        members << qMakePair(name, who ? who->text(QStringLiteral("Title")) : QString());
    }
    for (const QString& nick : allItems(inv.text(QStringLiteral("equipment")))) {
        const auto item = m_db.findFirst(tables::equipment, {{QStringLiteral("Nick_Name"), nick}});
        const QString what = item ? joinedText({item->text(QStringLiteral("Type")),
                                                joinedText({item->text(QStringLiteral("Manufacturer")),
                                                            item->text(QStringLiteral("Model"))},
                                                           QStringLiteral(" "))},
                                               QStringLiteral(", "))
                                  : QString();
        equipment << qMakePair(nick, what);
    }
    const auto list = [](const Rows& rows) {
        QString out;
        for (const auto& [name, about] : rows)
            out += about.trimmed().isEmpty()
                ? QStringLiteral("<li>%1</li>\n").arg(esc(name))
                : QStringLiteral("<li>%1 <span class=\"meta\">(%2)</span></li>\n").arg(esc(name), esc(about.trimmed()));
        return out.isEmpty() ? out : QStringLiteral("<ul>\n") + out + QStringLiteral("</ul>\n");
    };
    return part(3, QStringLiteral("Investigators Involved"), list(members)) +
           part(3, QStringLiteral("Equipment List"), list(equipment));
}

QString Builder::interviews(const Record& inv) {
    QString out;
    const QList<Record> all = m_db.findAll(tables::interview, {{QStringLiteral("Investigation"), inv.text(QStringLiteral("FullDate_Time"))},
                                                               {QStringLiteral("Location"), inv.text(QStringLiteral("Location"))}});
    for (const Record& r : all) {
        const QString name = r.text(QStringLiteral("Name")).trimmed();
        out += heading(3, name.isEmpty() ? QStringLiteral("Interview") : QStringLiteral("Interview with ") + name);
        out += facts({{QStringLiteral("Date and time"), whenText(r)},
                      {QStringLiteral("Affiliation"), r.text(QStringLiteral("Affiliation"))},
                      {QStringLiteral("Interviewers"), allItems(r.text(QStringLiteral("Interviewer"))).join(QLatin1String(", "))}});
        out += textBlock(r.text(QStringLiteral("Interview")));
    }
    return out;
}

QString Builder::findingsTable(const QList<Finding>& findings) {
    QString rows;
    rows.reserve(findings.size() * 300);
    for (const Finding& f : findings) {
        QString kind = escLines(f.kind);
        if (!f.evpClass.trimmed().isEmpty())
            kind += QStringLiteral(" (class %1)").arg(escLines(f.evpClass));
        QString reading;
        if (f.reading)
            reading = esc(QString::number(*f.reading, 'g', 6) + u' ' + f.unit.trimmed());
        QStringList notes;
        if (!f.explanation.trimmed().isEmpty())
            notes << escLines(f.explanation);
        if (!f.note.trimmed().isEmpty())
            notes << escLines(f.note);
        if (!f.mediaPath.trimmed().isEmpty()) {
            QString clip = esc(f.mediaPath.section(QLatin1Char('\\'), -1).section(QLatin1Char('/'), -1));
            if (f.clipStartMs)
                clip += QStringLiteral(" at %1").arg(timeOfDay(*f.clipStartMs));
            if (f.clipLengthMs)
                clip += QStringLiteral(" for %1").arg(seconds(*f.clipLengthMs));
            notes << QStringLiteral("<span class=\"meta\">%1</span>").arg(clip);
        }
        // Times keep to one line, so that fewer rows break across pages.
        rows += QStringLiteral("<tr><td class=\"short\">%1</td><td>%2</td><td>%3</td><td class=\"short\">%4</td>"
                               "<td>%5</td><td>%6</td></tr>\n")
                    .arg(timeOfDay(f.atMs), kind,
                         joinedText({esc(f.area), esc(f.investigator), esc(f.device)}, QStringLiteral(", ")),
                         reading, escLines(f.status), notes.join(QLatin1String("<br>")));
    }
    return QStringLiteral("<table class=\"log\" width=\"100%\" cellspacing=\"0\">\n"
                          "<thead><tr><th width=\"13%\">Time</th><th width=\"11%\">Kind</th>"
                          "<th width=\"19%\">Where and who</th><th width=\"12%\">Reading</th>"
                          "<th width=\"16%\">Status</th><th width=\"29%\">Notes</th></tr></thead>\n<tbody>\n") +
           rows + QStringLiteral("</tbody>\n</table>\n");
}

QString Builder::evidence(const QString& key) {
    const QList<Finding> findings = evidence::findings(m_db, key);
    if (findings.isEmpty())
        return {};
    const EvidenceCounts counts = countFindings(findings);
    QString out = facts({{QStringLiteral("Findings"), findingsSentence(counts.total)},
                         {QStringLiteral("By status"), countsText(counts.byStatus)},
                         {QStringLiteral("By kind"), countsText(counts.byKind)}});
    // The night at a glance.
    const QImage timeline = timelineImage(m_db, m_folder, key, QSize(1200, 360));
    if (!timeline.isNull())
        out += part(3, QStringLiteral("Timeline"),
                    QStringLiteral("<p>%1</p>\n").arg(picture(Thumbnail{encodedImage(timeline, "PNG"), timeline.size(), false}, QSize(640, 480))));
    out += part(3, QStringLiteral("Findings"), findingsTable(findings));
    return out;
}

QString Builder::pictures(const QString& key) {
    const QList<Record> all = m_db.findAll(tables::pictures, {{QStringLiteral("Investigation"), key}});
    if (all.isEmpty())
        return {};
    // A table to each row, so that a row can move to the next page whole (see keepTogether in reportoutput.cpp).
    QString out;
    for (int i = 0; i < all.size(); ++i) {
        const Record& r = all[i];
        if (i % kGridColumns == 0)
            out += QStringLiteral("<table class=\"grid\" width=\"100%\" cellspacing=\"0\"><tr>");
        const QString file = storedPicturePath(m_folder, files::investigations, r.text(QStringLiteral("Path")));
        const Thumbnail t = thumbnail(file);
        out += QStringLiteral("<td width=\"33%\">") + picture(t);
        if (t.missing)
            out += QStringLiteral("<br><span class=\"missing\">Picture file missing or damaged</span>");
        out += QStringLiteral("<p class=\"caption\">%1</p>").arg(escLines(r.text(QStringLiteral("Title"))));
        if (const QString taken = t.missing ? QString() : dateTaken(file); !taken.isEmpty())
            out += QStringLiteral("<p class=\"meta\">Taken %1</p>").arg(esc(taken));
        out += textBlock(r.text(QStringLiteral("History")));
        out += QStringLiteral("</td>");
        if (i % kGridColumns == kGridColumns - 1 || i == all.size() - 1)
            out += QStringLiteral("</tr></table>\n");
    }
    return out;
}

Report Builder::investigation(const Record& inv) {
    const QString key = inv.text(QStringLiteral("FullDate_Time"));
    const QString place = inv.text(QStringLiteral("Location"));
    const auto loc = m_db.findFirst(tables::location, {{QStringLiteral("LocationName"), place}});

    QString body = part(2, QStringLiteral("Location"), loc ? locationPart(*loc, false) : facts({{QStringLiteral("Name"), place}}));
    body += part(2, QStringLiteral("Date and Time"),
                 facts({{QStringLiteral("Date and time"), whenText(inv)}, {QStringLiteral("Case key"), key}}));
    body += part(2, QStringLiteral("Conditions"), conditions(inv));
    body += part(2, QStringLiteral("Team"), team(inv));
    body += part(2, QStringLiteral("Initial Thoughts and Comments (First Impressions)"),
                 textBlock(inv.text(QStringLiteral("Initial_Thoughts"))));
    body += part(2, QStringLiteral("Investigation Notes"), textBlock(inv.text(QStringLiteral("Investigation_Notes"))));
    QString archive;
    for (const QString& entry : allItems(inv.text(QStringLiteral("Tape_Archive"))))
        archive += QStringLiteral("<li>%1</li>\n").arg(esc(entry));
    body += part(2, QStringLiteral("Media Archive"), archive.isEmpty() ? archive : QStringLiteral("<ul>\n") + archive + QStringLiteral("</ul>\n"));
    body += part(2, QStringLiteral("Interviews"), interviews(inv));
    body += part(2, QStringLiteral("Evidence Log"), evidence(key));
    body += part(2, QStringLiteral("Pictures"), pictures(key));

    const QString when = whenText(inv);
    return finish(QStringLiteral("Investigation report: %1, %2").arg(place, when), QStringLiteral("Investigation report"),
                  place + QStringLiteral(", ") + when, body);
}

Report Builder::location(const Record& loc) {
    const QString name = loc.text(QStringLiteral("LocationName"));
    QString body = part(2, QStringLiteral("Location"), locationPart(loc, true));

    QList<Record> visits = m_db.findAll(tables::investigations, {{QStringLiteral("Location"), name}});
    std::stable_sort(visits.begin(), visits.end(), [](const Record& a, const Record& b) {
        const auto wa = happened(a), wb = happened(b);
        return wa && wb ? *wa < *wb : bool(wa) > bool(wb);
    });
    for (const Record& inv : visits) {
        const QString key = inv.text(QStringLiteral("FullDate_Time"));
        QString about = facts({{QStringLiteral("Case key"), key}});
        about += part(3, QStringLiteral("Conditions"), conditions(inv));
        about += team(inv);
        const EvidenceCounts counts = countFindings(evidence::findings(m_db, key));
        const int talks = int(m_db.column(tables::interview, QStringLiteral("ID"),
                                          {{QStringLiteral("Investigation"), key}, {QStringLiteral("Location"), name}})
                                  .size());
        const int shots = int(m_db.column(tables::pictures, QStringLiteral("Title"), {{QStringLiteral("Investigation"), key}}).size());
        about += part(3, QStringLiteral("Findings"),
                      facts({{QStringLiteral("Evidence"), counts.total ? findingsSentence(counts.total) + QStringLiteral(": ") +
                                                                              countsText(counts.byStatus)
                                                                        : QString()},
                             {QStringLiteral("Kinds"), countsText(counts.byKind)},
                             {QStringLiteral("Interviews"), talks ? QString::number(talks) : QString()},
                             {QStringLiteral("Pictures"), shots ? QString::number(shots) : QString()}}));
        about += part(3, QStringLiteral("Initial Thoughts and Comments (First Impressions)"),
                      textBlock(inv.text(QStringLiteral("Initial_Thoughts"))));
        body += heading(2, QStringLiteral("Investigation of ") + whenText(inv)) + about;
    }
    return finish(QStringLiteral("Location report: ") + name, QStringLiteral("Location report"), name, body);
}

} // namespace

QString Report::selfContainedHtml() const {
    // Only our own markup can hold src="image:N": quotes in case-file text are escaped.
    static const QRegularExpression named(QStringLiteral("src=\"image:(\\d+)\""));
    QString out;
    out.reserve(html.size() + images.size() * 40000);
    qsizetype from = 0;
    for (auto it = named.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QByteArray& bytes = images.value(m.captured(1).toInt());
        const char* type = bytes.startsWith("\x89PNG") ? "image/png" : "image/jpeg";
        out += QStringView(html).mid(from, m.capturedStart() - from);
        out += QStringLiteral("src=\"data:%1;base64,").arg(QLatin1String(type));
        out += QLatin1String(bytes.toBase64());
        out += u'"';
        from = m.capturedEnd();
    }
    out += QStringView(html).mid(from);
    return out;
}

std::optional<Report> investigationReport(Connection& db, const QString& programFolder, const QString& key,
                                          const QString& location, const Options& options) {
    Match match{{QStringLiteral("FullDate_Time"), key}};
    if (!location.isNull())
        match << qMakePair(QStringLiteral("Location"), location);
    const auto inv = db.findFirst(tables::investigations, match);
    if (!inv)
        return std::nullopt;
    return Builder(db, programFolder, options).investigation(*inv);
}

std::optional<Report> locationReport(Connection& db, const QString& programFolder, const QString& name,
                                     const Options& options) {
    const auto loc = db.findFirst(tables::location, {{QStringLiteral("LocationName"), name}});
    if (!loc)
        return std::nullopt;
    return Builder(db, programFolder, options).location(*loc);
}

} // namespace veil::reports
