#pragma once

#include "programfolder.h"
#include "registerall.h"
#include "testui.h"

#include "shell/dashboardwindow.h"
#include "shell/mainframe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <functional>
#include <memory>

namespace veil::test {

// A running main frame over a temporary program folder, without the splash:
// the dashboard is open and every question is answered by `ui`.
struct Frame {
    ProgramFolder folder;
    TestUi ui;
    QPointer<MDIForm1> frame;

    // `prepare` readies the folder (another database, say) and the answers before the frame starts.
    explicit Frame(const std::function<void(Frame&)>& prepare = {}) {
        if (prepare)
            prepare(*this);
        registerAll();
        frame = new MDIForm1(folder.path());
        frame->resize(1400, 1100);
        frame->show();
        frame->loadFrame();
    }
    ~Frame() {
        if (frame)
            delete frame;
        flush();
    }
    Form2* dashboard() { return frame->loadedAs<Form2>(QStringLiteral("Form2")); }
    template <class T> T* window(const QString& name) { return frame->loadedAs<T>(name); }
    // Runs the deletions that unloading windows left pending.
    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

} // namespace veil::test
