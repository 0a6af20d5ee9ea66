#pragma once
// A sample investigation for the evidence tests: 10-31-2008 11:30 pm at Old
// Mill, and the files those tests write.

#include "filebytes.h"

#include "store/casedb.h"
#include "store/casekey.h"
#include "store/evidence.h"

#include <QBuffer>
#include <QImage>

namespace veil::test {

inline QString addNight(Connection& db, const QString& location = QStringLiteral("Old Mill")) {
    return addKeyedRecord(db, tables::investigations,
                          {{"Location", location}, {"Date_Month", "10"}, {"Date_Day", "31"}, {"Date_Year", "2008"},
                           {"Time_Hour", "11"}, {"Time_Min", "30"}, {"Time_AP", "pm"}},
                          {"10", "31", "2008", "11", "30", "pm"});
}

// A WAV file with a bext chunk saying when it began ("2008-10-31", "23:55:00").
inline QByteArray wavWithBext(const QByteArray& date, const QByteArray& time) {
    QByteArray bext(602, '\0');
    bext.replace(320, 10, date.left(10));
    bext.replace(330, 8, time.left(8));
    QByteArray fmt("fmt ");
    fmt += QByteArray("\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0", 20);
    QByteArray body = "WAVE" + fmt + "bext" + QByteArray("\x5a\x02\0\0", 4) + bext + "data" +
                      QByteArray("\x04\0\0\0\0\0\0\0", 8);
    const quint32 n = quint32(body.size());
    return "RIFF" + QByteArray(reinterpret_cast<const char*>(&n), 4) + body;
}

// A JPEG whose Exif DateTimeOriginal is `when` ("2008:11:01 00:10:00").
inline QByteArray jpegTakenAt(const QByteArray& when) {
    QByteArray jpeg;
    QBuffer buf(&jpeg);
    buf.open(QIODevice::WriteOnly);
    QImage(8, 8, QImage::Format_RGB32).save(&buf, "JPG");
    // Little-endian TIFF: IFD0 with an Exif pointer, the Exif IFD with 0x9003.
    QByteArray tiff("II\x2a\0\x08\0\0\0", 8);
    tiff += QByteArray("\x01\0\x69\x87\x04\0\x01\0\0\0\x1a\0\0\0\0\0\0\0", 18);
    tiff += QByteArray("\x01\0\x03\x90\x02\0\x14\0\0\0\x2c\0\0\0\0\0\0\0", 18);
    tiff += when.left(19) + QByteArray(1, '\0');
    const QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff;
    const int len = int(app1.size()) + 2;
    jpeg.insert(2, QByteArray("\xFF\xE1", 2) + char(len >> 8) + char(len & 0xff) + app1);
    return jpeg;
}

} // namespace veil::test
