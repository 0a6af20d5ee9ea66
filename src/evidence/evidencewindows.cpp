#include "evidence/evidencewindows.h"

#include "evidence/evidencewindow.h"
#include "shell/windowregistry.h"

namespace veil {

void registerEvidenceWindows() {
    registerWindow(QStringLiteral("EvidenceWindow"), [](MDIForm1& f) { return new EvidenceWindow(f); });
}

} // namespace veil
