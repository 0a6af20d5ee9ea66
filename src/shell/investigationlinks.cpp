#include "shell/investigationlinks.h"

#include "shell/casewindow.h"
#include "shell/dashboardwindow.h"
#include "shell/mainframe.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

namespace veil {

CaseWindow* showForInvestigation(MDIForm1& frame, const QString& windowName, const QString& key) {
    CaseWindow* w = frame.show(windowName);
    if (w)
        QMetaObject::invokeMethod(w, "showInvestigation", Q_ARG(QString, key));
    return w;
}

QString chosenInvestigation(MDIForm1& frame) {
    auto* dashboard = frame.loadedAs<Form2>(QStringLiteral("Form2"));
    return dashboard ? dashboard->Combo2->currentText() : QString();
}

void addEvidenceItems(CaseWindow& window, QMenu* menu, std::function<QString()> key) {
    const char* const items[][3] = {{"evidenceLog", "&Evidence", "EvidenceWindow"},
                                    {"timeline", "&Timeline", "TimelineWindow"}};
    for (const auto& [name, caption, target] : items) {
        QAction* a = menu->addAction(QLatin1String(caption));
        a->setObjectName(QLatin1String(name));
        QObject::connect(a, &QAction::triggered, &window, [&window, key, target = QLatin1String(target)] {
            if (const QString k = key(); !k.isEmpty())
                showForInvestigation(window.frame(), target, k);
        });
    }
}

} // namespace veil
