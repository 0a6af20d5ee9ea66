#include "picturewindows.h"

#include "form10.h"
#include "form9.h"
#include "windowregistry.h"

namespace veil {

void registerPictureWindows() {
    registerWindow(QStringLiteral("Form9"), [](MDIForm1& f) { return new Form9(f); });
    registerWindow(QStringLiteral("Form10"), [](MDIForm1& f) { return new Form10(f); });
}

} // namespace veil
