#include "records/recordwindows.h"

#include "records/locationwindow.h"
#include "records/investigationwindow.h"
#include "records/interviewwindow.h"
#include "records/investigatorswindow.h"
#include "records/equipmentwindow.h"
#include "shell/windowregistry.h"

namespace veil {

void registerRecordWindows() {
    registerWindow(QStringLiteral("Form1"), [](MDIForm1& f) { return new Form1(f); });
    registerWindow(QStringLiteral("Form3"), [](MDIForm1& f) { return new Form3(f); });
    registerWindow(QStringLiteral("Form4"), [](MDIForm1& f) { return new Form4(f); });
    registerWindow(QStringLiteral("Form5"), [](MDIForm1& f) { return new Form5(f); });
    registerWindow(QStringLiteral("Form7"), [](MDIForm1& f) { return new Form7(f); });
}

} // namespace veil
