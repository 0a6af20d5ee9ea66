#pragma once

#include "programfolder.h"
#include "registerall.h"
#include "testui.h"

#include "shell/dashboardwindow.h"
#include "shell/mainframe.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTest>
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

// Chooses an entry of a list as the user does.
inline void choose(QComboBox* list, const QString& text) {
    const int at = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(at >= 0, qPrintable(text));
    list->setCurrentIndex(at);
    emit list->activated(at);
}

inline QStringList entries(const QComboBox* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

// Triggers a window's menu item by name.
inline void menu(QWidget* window, const char* item) {
    auto* a = window->findChild<QAction*>(QLatin1String(item));
    QVERIFY2(a, item);
    a->trigger();
}

} // namespace veil::test
