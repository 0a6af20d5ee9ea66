#pragma once
// A case to report on, and the text of a written report, for the report tests.

#include "exiftesting.h"
#include "filebytes.h"
#include "programfolder.h"

#include "store/casedb.h"
#include "store/casekey.h"

#include <QProcess>
#include <QTextDocument>

#include <sqlite3.h>

namespace veil::test {

// Old Mill with two investigations stored out of date order: "night" (10-31-2005,
// everything filled in, three pictures of which one is missing and one cut off)
// and "barn" (1-2-06); and Grey House with one of its own. Each holds words of
// its own, so a report shows whose content it holds.
struct ReportCase {
    QString night, barn, grey;
};

inline void addFinding(Connection& db, const QString& key, qint64 atMs, const char* kind, const char* status,
                       const char* note) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db.handle(),
                       "INSERT INTO vc_evidence (FullDate_Time, at_ms, kind, area, status, note, reading, unit) "
                       "VALUES (?1, ?2, ?3, 'Attic', ?4, ?5, 3.5, 'mG')",
                       -1, &s, nullptr);
    const QByteArray k = key.toUtf8();
    sqlite3_bind_text(s, 1, k.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 2, atMs);
    sqlite3_bind_text(s, 3, kind, -1, SQLITE_STATIC);
    sqlite3_bind_text(s, 4, status, -1, SQLITE_STATIC);
    sqlite3_bind_text(s, 5, note, -1, SQLITE_STATIC);
    sqlite3_step(s);
    sqlite3_finalize(s);
}

inline ReportCase seedReportCase(const ProgramFolder& pf) {
    auto db = Connection::open(pf.path());
    db->add(tables::location, {{"LocationName", "Old Mill"}, {"LocationAddress1", "1 Mill Lane"},
                               {"ContactName", "Mrs Gray"}, {"Phone", "555-0101"}, {"Cell", "555-0199"},
                               {"Email", "gray@example.org"}, {"Background", "Built in 1820."},
                               {"History", "A miller & his <script>alert(1)</script> family &amp; friends"}});
    db->add(tables::location, {{"LocationName", "Grey House"}});
    db->add(tables::investigators, {{"Name", "Ann"}, {"Title", "Lead"}, {"Active", "1"}});
    db->add(tables::equipment, {{"Nick_Name", "EMF"}, {"Type", "Sensing Device"}});
    const auto visit = [&](const QString& place, const DateTimeParts& p, const Fields& more) {
        return addKeyedRecord(*db, tables::investigations,
                              Fields{{"Location", place}, {"Date_Month", p.month}, {"Date_Day", p.day},
                                     {"Date_Year", p.year}, {"Time_Hour", p.hour}, {"Time_Min", p.minute},
                                     {"Time_AP", p.ap}} + more,
                              p);
    };
    ReportCase c;
    c.barn = visit("Old Mill", {"1", "2", "06", "9", "5", "am"},
                   {{"Weather", "snow storm"}, {"Investigation_Notes", "Nothing of note in the barn."}});
    c.night = visit("Old Mill", {"10", "31", "2005", "11", "45", "pm"},
                    {{"Outside_Temp", "12 C"}, {"Humidity", "81%"}, {"Weather", "fog"}, {"investigators", "Ann,"},
                     {"equipment", "EMF,"}, {"Initial_Thoughts", "Cold on the stairs."},
                     {"Investigation_Notes", "Steps heard at midnight."}, {"Tape_Archive", "Tape 1,Card 2,"}});
    c.grey = visit("Grey House", {"7", "4", "2007", "3", "00", "pm"}, {{"Weather", "heatwave"}});
    const auto talk = [&](const QString& key, const char* name, const char* text) {
        addKeyedRecord(*db, tables::interview,
                       {{"Location", "Old Mill"}, {"Investigation", key}, {"Date_Month", "11"}, {"Date_Day", "1"},
                        {"Date_Year", "2005"}, {"Name", name}, {"Interview", text}},
                       {"11", "1", "2005", "", "", ""});
    };
    talk(c.night, "Bob", "I heard steps in the attic.");
    talk(c.night, "Carol", "A door slammed twice.");
    talk(c.barn, "Dan", "Only the wind.");
    const auto picture = [&](const QString& key, const QString& title, const QString& folder) {
        db->add(tables::pictures, {{"Investigation", key}, {"Title", title}, {"History", title + " summary"},
                                   {"Path", "\\Investigations\\" + folder + "\\" + title + ".jpg"}});
        return pf.file("Investigations/" + folder + "/" + title + ".jpg");
    };
    const QString nightFolder = c.night.section('-', -1);
    writeTaggedPhoto(picture(c.night, "Stairs", nightFolder), {{"Exif.Photo.DateTimeOriginal", "2005:10:31 23:58:00"}},
                     800, 600);
    picture(c.night, "Attic", nightFolder); // its file never arrived
    const QString cut = picture(c.night, "Cellar", nightFolder);
    writePicture(cut, "JPG", 800, 600);
    writeFileBytes(cut, fileBytes(cut).left(300));
    writePicture(picture(c.barn, "Barn", c.barn.section('-', -1)));
    addFinding(*db, c.night, 86'000'000, "EVP", "unexplained", "a whisper by the door");
    addFinding(*db, c.night, 87'000'000, "EMF", "explained", "a fridge");
    addFinding(*db, c.night, 88'000'000, "EMF", "", "spike on the landing");
    addFinding(*db, c.barn, 40'000'000, "sound", "unexplained", "barn draught");
    return c;
}

// The text a reader sees in a written report: pdftotext for a PDF, the
// rendered text for HTML; ligatures unfolded, and runs of white space (lines
// broken inside a table cell) as one space, but pages kept apart by "\f".
inline QString reportText(const QString& path) {
    QString text;
    if (path.endsWith(".pdf", Qt::CaseInsensitive)) {
        QProcess p;
        p.start("pdftotext", {path, "-"});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return "pdftotext failed: " + p.errorString() + QString::fromUtf8(p.readAllStandardError());
        text = QString::fromUtf8(p.readAllStandardOutput());
    } else {
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(fileBytes(path)));
        text = doc.toPlainText();
    }
    QStringList pages = text.normalized(QString::NormalizationForm_KC).split('\f');
    for (QString& page : pages)
        page = page.simplified();
    return pages.join('\f');
}

} // namespace veil::test
