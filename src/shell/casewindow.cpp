#include "shell/casewindow.h"

#include "shell/mainframe.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

namespace veil {

int centerLeftTwips(double screenWidthTwips, double windowWidthTwips) {
    // std::nearbyint rounds halves to even in the default rounding mode; the
    // integer division then truncates toward zero.
    const auto diff = static_cast<long long>(std::nearbyint(screenWidthTwips - windowWidthTwips));
    return static_cast<int>(diff / 2);
}

CaseWindow::CaseWindow(MDIForm1& frame, const QString& name) : m_frame(frame) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setAutoFillBackground(true);
    layout->addWidget(m_client);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CaseWindow::~CaseWindow() = default;

const QString& CaseWindow::programFolder() const { return m_frame.programFolder(); }

QMdiSubWindow* CaseWindow::subWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

Connection& CaseWindow::db() {
    if (!m_db)
        openDatabase();
    return *m_db;
}

void CaseWindow::openDatabase() { m_db = Connection::open(programFolder()); }

void CaseWindow::closeDatabase() { m_db.reset(); }

void CaseWindow::setCaption(const QString& caption) {
    setWindowTitle(caption);
    if (auto* sub = subWindow())
        sub->setWindowTitle(caption);
}

QString CaseWindow::caption() const { return windowTitle(); }

void CaseWindow::setClientSizeTwips(int width, int height) {
    m_client->setFixedSize(tw(width), tw(height));
}

QWidget* CaseWindow::designClient(const QString& caption, int widthTwips, int heightTwips,
                                  Background background) {
    setCaption(caption);
    setClientSizeTwips(widthTwips, heightTwips);
    if (background == Background::White)
        makeWhite(m_client);
    return m_client;
}

void CaseWindow::CenterForm() {
    QWidget* w = subWindow() ? static_cast<QWidget*>(subWindow()) : this;
    w->adjustSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenPx = screen ? screen->geometry().width() : 1024;
    int left = centerLeftTwips(double(screenPx) * kTwipsPerPixel,
                               double(w->width()) * kTwipsPerPixel) / kTwipsPerPixel;
    // Keep the window inside the frame's work area where it fits there.
    if (const QWidget* area = w->parentWidget()) {
        const int room = area->width() - w->width();
        if (room >= 0 && left > room)
            left = room;
    }
    w->move(std::max(0, left), 0);
}

QMenuBar* CaseWindow::menuBar() {
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        m_menuBar->setNativeMenuBar(false);
        static_cast<QVBoxLayout*>(layout())->setMenuBar(m_menuBar);
    }
    return m_menuBar;
}

QMenu* CaseWindow::addMenu(const QString& name, const QString& caption) {
    QMenu* m = menuBar()->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QMenu* CaseWindow::addSubMenu(QMenu* menu, const QString& name, const QString& caption) {
    QMenu* m = menu->addMenu(caption);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QAction* CaseWindow::addItem(QMenu* menu, const QString& name, const QString& caption,
                             std::function<void()> action) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [action = std::move(action)] { action(); });
    return a;
}

void CaseWindow::addSeparator(QMenu* menu, const QString& name) {
    menu->addSeparator()->setObjectName(name);
}

QMenu* CaseWindow::addHelpMenu(const QString& menuName, const QString& guideName,
                               const QString& aboutCaption) {
    QMenu* help = addMenu(menuName, QStringLiteral("&Help"));
    addItem(help, guideName, QStringLiteral("Veilcase User Guide"), [this] { m_frame.open_help(); });
    addSeparator(help);
    addItem(help, QStringLiteral("about"), aboutCaption, [this] { m_frame.open_about(); });
    return help;
}

void CaseWindow::showDashboardAgain() {
    if (!m_frame.isShuttingDown())
        m_frame.show(QStringLiteral("Form2"));
}

bool CaseWindow::unload() {
    if (m_unloaded)
        return true;
    if (QMdiSubWindow* sub = subWindow())
        return sub->close();
    return close();
}

void CaseWindow::closeEvent(QCloseEvent* event) {
    if (m_unloaded) {
        event->accept();
        return;
    }
    if (!queryUnload()) {
        event->ignore();
        return;
    }
    m_unloading = true;
    // Forget the window first, so that a window shown from the unload handler
    // (the dashboard) is made afresh when this one was it.
    m_frame.forget(this);
    unloaded();
    closeDatabase();
    m_unloaded = true;
    event->accept();
}

} // namespace veil
