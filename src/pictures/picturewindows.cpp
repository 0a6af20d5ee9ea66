#include "picturewindows.h"

#include "addpictureswindow.h"
#include "viewerwindow.h"
#include "windowregistry.h"

namespace veil {

void registerPictureWindows() {
    registerWindow(QStringLiteral("Form9"), [](MDIForm1& f) { return new Form9(f); });
    registerWindow(QStringLiteral("Form10"), [](MDIForm1& f) { return new Form10(f); });
}

} // namespace veil
