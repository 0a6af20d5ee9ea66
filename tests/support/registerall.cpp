#include "registerall.h"

#include "evidence/evidencewindows.h"
#include "pictures/picturewindows.h"
#include "records/recordwindows.h"
#include "search/searchwindows.h"
#include "shell/windowregistry.h"
#include "tools/toolwindows.h"

namespace veil::test {

void registerAll() {
    static const bool once = [] {
        registerAppWindows();
        registerRecordWindows();
        registerPictureWindows();
        registerToolWindows();
        registerSearchWindows();
        registerEvidenceWindows();
        return true;
    }();
    (void)once;
}

} // namespace veil::test
