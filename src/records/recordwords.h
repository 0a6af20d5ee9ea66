#pragma once
// Words the record windows share: the dashboard's word for a record not yet
// stored, and the key field of investigations and interviews.

#include <QString>

namespace veil {

inline const QString kNew = QStringLiteral("New");
inline const QString kKey = QStringLiteral("FullDate_Time");

} // namespace veil
