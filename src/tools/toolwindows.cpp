#include "tools/toolwindows.h"

#include "tools/confirmwindow.h"
#include "tools/databasetoolswindow.h"
#include "tools/verifywindow.h"
#include "shell/windowregistry.h"

namespace veil {

void registerToolWindows() {
    registerWindows<Form11, Form12, Form13, Form14, VerifyWindow>(
        {"Form11", "Form12", "Form13", "Form14", "VerifyWindow"});
}

} // namespace veil
