#pragma once

#include <QString>

namespace veil {

class CaseWindow;
class MDIForm1;

// Shows a window of one investigation (the Evidence and Timeline windows,
// by registered name) for the investigation `key`: it is loaded if need be
// and told the key through its invokable showInvestigation(QString), so the
// windows that open it need not link to it. nullptr when there is no such
// window.
CaseWindow* showForInvestigation(MDIForm1& frame, const QString& windowName, const QString& key);

} // namespace veil
