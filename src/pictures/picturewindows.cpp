#include "pictures/picturewindows.h"

#include "pictures/addpictureswindow.h"
#include "pictures/viewerwindow.h"
#include "shell/windowregistry.h"

namespace veil {

void registerPictureWindows() {
    registerWindow(QStringLiteral("Form9"), [](MDIForm1& f) { return new Form9(f); });
    registerWindow(QStringLiteral("Form10"), [](MDIForm1& f) { return new Form10(f); });
}

} // namespace veil
