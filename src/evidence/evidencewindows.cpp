#include "evidence/evidencewindows.h"

#include "evidence/evidencewindow.h"
#include "evidence/timelinewindow.h"
#include "shell/windowregistry.h"

namespace veil {

void registerEvidenceWindows() {
    registerWindow(QStringLiteral("EvidenceWindow"), [](MDIForm1& f) { return new EvidenceWindow(f); });
    registerWindow(QStringLiteral("TimelineWindow"), [](MDIForm1& f) { return new TimelineWindow(f); });
}

} // namespace veil
