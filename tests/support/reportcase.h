#pragma once
// A case to report on, and the text of a written report, for the report tests.

#include "exiftesting.h"
#include "filebytes.h"
#include "programfolder.h"

#include "store/casedb.h"
#include "store/casekey.h"

#include <QProcess>
#include <QTest>
#include <QTextDocument>

namespace veil::test {

// Old Mill with two investigations stored out of date order: "night" (10-31-2005,
// everything filled in, three pictures of which one is missing and one cut off)
// and "barn" (1-2-06); and Grey House with one of its own. Each holds words of
// its own, so a report shows whose content it holds.
struct ReportCase {
    QString night, barn, grey;
};

// Findings in the Attic, each 3.5 mG: "(key, at_ms, kind, status, note), ..." as SQL values.
inline void addFindings(const ProgramFolder& pf, const QString& rows) {
    QCOMPARE(runSql(pf.databasePath(), "INSERT INTO vc_evidence (FullDate_Time, at_ms, kind, status, note) VALUES " +
                                           rows + "; UPDATE vc_evidence SET area = 'Attic', reading = 3.5, unit = 'mG'"),
             QString());
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
    addFindings(pf, QString("('%1', 86000000, 'EVP', 'unexplained', 'a whisper by the door'), ('%1', 87000000, "
                            "'EMF', 'explained', 'a fridge'), ('%1', 88000000, 'EMF', '', 'spike on the landing'), "
                            "('%2', 40000000, 'sound', 'unexplained', 'barn draught')")
                        .arg(c.night, c.barn));
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
