#pragma once
// The evidence log of an investigation: findings tied to a time, a place, a
// person and a device, their imports, their media files and the merged
// timeline of the night. Widget-free, for the windows and veilcase-cli alike.

#include "store/casedb.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace veil::evidence {

constexpr qint64 kDayMs = 86400000;

const QStringList& kinds();      // EVP, audio, video, ... other
const QStringList& statuses();   // unexplained, explained, inconclusive
const QStringList& evpClasses(); // A, B, C

// One row of vc_evidence. Empty texts and absent numbers are stored as null.
struct Finding {
    qint64 id = 0; // 0 until stored
    QString investigation; // the investigation's FullDate_Time
    qint64 atMs = 0;       // after midnight of the investigation's date; past kDayMs after midnight
    QString kind = QStringLiteral("EVP");
    QString area, investigator, device;
    std::optional<double> reading;
    QString unit;
    QString mediaPath; // stored path, "\Investigations\17\media\night.wav"
    std::optional<qint64> clipStartMs, clipLengthMs;
    QString evpClass, status, explanation, note;
    QString source; // the import line it came from; empty when typed

    bool operator==(const Finding&) const = default;
};

// The investigation a log belongs to, as far as its record tells.
struct Night {
    Night() = default;
    explicit Night(const QString& k) : key(k) {} // one no record names
    QString key;
    QString location;
    qint64 id = 0;                // the record's number: names its folder
    QDate date;                   // invalid when the typed date is no date
    std::optional<qint64> startMs; // the typed start time of day, when it is one
};
std::optional<Night> findNight(Connection& db, const QString& key);

// The findings of an investigation in time order (then as stored).
QList<Finding> findings(Connection& db, const QString& key);
std::optional<Finding> finding(Connection& db, qint64 id);
// Stores every change of one edit in one transaction: `changed` rows with an
// id are rewritten, those without are added (their ids are filled in), and
// `deleted` ids are removed.
void save(Connection& db, QList<Finding>& changed, const QList<qint64>& deleted = {});
// Areas already used in this investigation's log, sorted.
QStringList areas(Connection& db, const QString& key);

// Times: "HH:MM[:SS[.mmm]]" to ms after midnight; nullopt when it is not one.
std::optional<qint64> parseTimeOfDay(const QString& text);
// A time of day placed on the night: the day that keeps it after `previous`
// (less twelve hours), or without one, after the investigation's start (less
// six hours), so readings past midnight land on the next day.
qint64 placeTimeOfDay(qint64 timeOfDayMs, const Night& night, std::optional<qint64> previousAtMs = {});
// A wall-clock time on the night; nullopt before the investigation's date or
// when the night has no date.
std::optional<qint64> placeDateTime(const QDateTime& local, const Night& night);
// "YYYY-MM-DDTHH:MM:SS.mmm" (the night's date plus atMs).
QString formatTime(const Night& night, qint64 atMs);
// "HH:MM:SS.mmm", with "+1d " in front past midnight.
QString formatClock(qint64 atMs);

// What an import would add, found before anything is written.
struct ImportPlan {
    QList<Finding> findings; // with their sources
    QStringList problems;    // "line 7: ...", for the user to accept or refuse
};
struct ImportResult {
    int added = 0;
    int alreadyThere = 0; // lines imported before (same source)
};
// Adds the plan's findings in one transaction, skipping those whose source
// the investigation's log already holds.
ImportResult apply(Connection& db, const ImportPlan& plan);

// An Audacity label file: start<TAB>end<TAB>label in seconds; lines beginning
// with "\" hold frequency ranges and are skipped. One finding per label, EVP
// unless the label begins with another kind; "class A" names the EVP class.
ImportPlan planLabels(const QByteArray& labels, const Night& night, const QString& storedMedia,
                      qint64 recordingStartAtMs);
// Meter readings: a header row naming time and value columns, and optionally
// unit, area, device, note and kind, in any order.
ImportPlan planReadings(const QByteArray& csv, const QString& fileName, const Night& night);

// The wall-clock time a recording began, when the file says: the WAV bext
// origination date and time, or an MP4/QuickTime container's creation time.
std::optional<QDateTime> recordingStart(const QString& mediaFile);

// Copies a media file into "\Investigations\<ID>\media\" (fingerprinted
// like every file copied in) and returns its stored path; the source is only read. A file of that name with the same
// content is used as it is; one with other content is never replaced: the
// copy takes the next free name "name (2).ext". Empty with `error` set when
// the name is refused or the copy fails.
QString attachMedia(const QString& programFolder, const Night& night, const QString& mediaFile,
                    QString* error);

// When a picture was taken, from the file's own metadata where it has one,
// as the camera's clock read it.
std::optional<QDateTime> pictureTakenAt(const QString& file);

// The merged night: findings, pictures and interviews in time order.
struct TimelineEntry {
    enum Source { FindingEntry, PictureEntry, InterviewEntry };
    Source source = FindingEntry;
    qint64 atMs = 0;
    qint64 lengthMs = 0; // a clip's length; 0 for a mark
    QString kind;        // the finding's kind, "picture" or "interview"
    QString what;        // one line for people
    QString area, investigator;
    Finding finding;     // for findings
    QString ref;         // a picture's stored path or an interview's key
};
struct Timeline {
    Night night;
    QList<TimelineEntry> entries;
    QStringList untimedPictures; // titles of pictures without a time
};
Timeline timeline(Connection& db, const QString& programFolder, const Night& night);

} // namespace veil::evidence
