#pragma once

#include <QString>

namespace veil {

class Form8;

// For install checks and scripts: with VEILCASE_QUIT_AFTER_START set, the
// program shows no message boxes (their texts go to standard error and every
// question is answered no), opens the main frame at once instead of after the
// splash, prints "program folder: <path>" on standard output when the
// dashboard is up, and ends (exit code 0, or 1 when the dashboard could not open).
bool startCheckRequested();
void quitAfterStartIfAsked(Form8* splash, const QString& programFolder);

} // namespace veil
