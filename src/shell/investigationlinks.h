#pragma once

#include <QString>

#include <functional>

class QMenu;

namespace veil {

class CaseWindow;
class MDIForm1;

// Shows a window of one investigation (the Evidence and Timeline windows,
// by registered name) for the investigation `key`: it is loaded if need be
// and told the key through its invokable showInvestigation(QString), so the
// windows that open it need not link to it. nullptr when there is no such
// window.
CaseWindow* showForInvestigation(MDIForm1& frame, const QString& windowName, const QString& key);

// The investigation chosen in the dashboard's Investigations list, if the dashboard is loaded.
QString chosenInvestigation(MDIForm1& frame);

// Fills a window's Evidence menu: "Evidence" (evidenceLog) and "Timeline"
// (timeline) show those windows for the investigation `key` gives; an empty
// key means there is none, and `key` has said why.
void addEvidenceItems(CaseWindow& window, QMenu* menu, std::function<QString()> key);

} // namespace veil
