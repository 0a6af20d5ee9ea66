#include "picturewindows.h"

#include "form9.h"
#include "windowregistry.h"

namespace veil {

void registerPictureWindows() {
    registerWindow(QStringLiteral("Form9"), [](MDIForm1& f) { return new Form9(f); });
}

} // namespace veil
