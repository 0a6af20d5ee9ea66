#include "shell/dashboardwindow.h"
#include "shell/aboutwindow.h"
#include "shell/windowregistry.h"

namespace veil {

void registerAppWindows() {
    registerWindow(QStringLiteral("Form2"), [](MDIForm1& f) { return new Form2(f); });
    registerWindow(QStringLiteral("Form6"), [](MDIForm1& f) { return new Form6(f); });
}

} // namespace veil
