#pragma once
// A sample investigation for the evidence tests: 10-31-2008 11:30 pm at Old
// Mill, and the recordings those tests write.

#include "filebytes.h"

#include "store/casedb.h"
#include "store/casekey.h"
#include "store/evidence.h"


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

} // namespace veil::test
