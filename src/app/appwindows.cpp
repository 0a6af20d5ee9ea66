#include "form2.h"
#include "windowregistry.h"

namespace veil {

void registerAppWindows() {
    registerWindow(QStringLiteral("Form2"), [](MDIForm1& f) { return new Form2(f); });
}

} // namespace veil
