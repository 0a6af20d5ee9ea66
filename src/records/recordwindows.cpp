#include "records/recordwindows.h"

#include "records/locationwindow.h"
#include "records/investigationwindow.h"
#include "records/interviewwindow.h"
#include "records/investigatorswindow.h"
#include "records/equipmentwindow.h"
#include "shell/windowregistry.h"

namespace veil {

void registerRecordWindows() {
    registerWindows<Form1, Form3, Form4, Form5, Form7>({"Form1", "Form3", "Form4", "Form5", "Form7"});
}

} // namespace veil
