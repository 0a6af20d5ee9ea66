#include "search/searchwindows.h"

#include "search/searchwindow.h"
#include "shell/windowregistry.h"

namespace veil {

void registerSearchWindows() {
    registerWindow(QStringLiteral("SearchWindow"), [](MDIForm1& f) { return new SearchWindow(f); });
}

} // namespace veil
