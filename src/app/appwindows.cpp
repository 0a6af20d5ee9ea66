#include "dashboardwindow.h"
#include "aboutwindow.h"
#include "windowregistry.h"

namespace veil {

void registerAppWindows() {
    registerWindow(QStringLiteral("Form2"), [](MDIForm1& f) { return new Form2(f); });
    registerWindow(QStringLiteral("Form6"), [](MDIForm1& f) { return new Form6(f); });
}

} // namespace veil
