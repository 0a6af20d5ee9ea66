#pragma once

#include <QString>

namespace veil {

// Start-up check: when the program folder's case database is a Jet file from
// the older Windows version, asks whether to import it and, on yes, imports it
// (the old file is kept beside, untouched) and says how it went. Returns true
// when the database was imported; false when there was nothing to do, the user
// said no, or the import failed (then nothing was changed).
bool offerJetImport(const QString& programFolder);

} // namespace veil
