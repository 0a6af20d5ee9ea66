#include "shell/investigationlinks.h"

#include "shell/casewindow.h"
#include "shell/mainframe.h"

namespace veil {

CaseWindow* showForInvestigation(MDIForm1& frame, const QString& windowName, const QString& key) {
    CaseWindow* w = frame.show(windowName);
    if (w)
        QMetaObject::invokeMethod(w, "showInvestigation", Q_ARG(QString, key));
    return w;
}

} // namespace veil
