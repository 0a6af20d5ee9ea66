#include "tools/toolwindows.h"

#include "tools/confirmwindow.h"
#include "tools/databasetoolswindow.h"
#include "tools/verifywindow.h"
#include "shell/windowregistry.h"

namespace veil {

void registerToolWindows() {
    registerWindow(QStringLiteral("Form11"), [](MDIForm1& f) { return new Form11(f); });
    registerWindow(QStringLiteral("Form12"), [](MDIForm1& f) { return new Form12(f); });
    registerWindow(QStringLiteral("Form13"), [](MDIForm1& f) { return new Form13(f); });
    registerWindow(QStringLiteral("Form14"), [](MDIForm1& f) { return new Form14(f); });
    registerWindow(QStringLiteral("VerifyWindow"), [](MDIForm1& f) { return new VerifyWindow(f); });
}

} // namespace veil
