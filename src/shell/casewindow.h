// The base of every child window of the main frame (CaseWindow).
#pragma once

#include "store/casedb.h"
#include "widgets/controls.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QAction;

namespace veil {

class MDIForm1;

// Where CenterForm puts a window's left edge: the difference of the widths in
// twips, rounded to a whole number (halves to even), then halved toward zero.
int centerLeftTwips(double screenWidthTwips, double windowWidthTwips);

// One child window of the main frame. It has a menu bar above a client area
// of fixed design size; controls are placed on the client area. A window is
// made by the frame on first reference and destroyed when it is unloaded.
class CaseWindow : public QWidget {
    Q_OBJECT
public:
    CaseWindow(MDIForm1& frame, const QString& name);
    ~CaseWindow() override;

    MDIForm1& frame() const { return m_frame; }
    const QString& programFolder() const;
    QWidget* client() const { return m_client; }
    QMdiSubWindow* subWindow() const;

    // The load handler; runs once, after the window is made and placed in the frame.
    virtual void load() {}
    // Asked before the window unloads by any route; false keeps it open.
    virtual bool queryUnload() { return true; }
    // True while the window holds input that has not been saved; windows that
    // must be closed for another reason ask the user first.
    virtual bool hasUnsavedChanges() const { return false; }
    // The unload handler; runs when the window is going away.
    virtual void unloaded() {}

    // Unloads the window (by any route the same handlers run).
    bool unload();

    // The window's own connection to the case database.
    Connection& db();
    bool hasDb() const { return bool(m_db); }
    void openDatabase();
    void closeDatabase();

    void setCaption(const QString& caption);
    QString caption() const;
    void setClientSizeTwips(int width, int height);
    void CenterForm();
    bool isUnloading() const { return m_unloading; }

protected:
    // The opening of every window's constructor: the caption, the design size
    // of the client area in twips and its background; returns the client area
    // the controls are placed on.
    enum class Background { White, Standard };
    QWidget* designClient(const QString& caption, int widthTwips, int heightTwips,
                          Background background = Background::White);

    QMenuBar* menuBar();
    QMenu* addMenu(const QString& name, const QString& caption);
    QMenu* addSubMenu(QMenu* menu, const QString& name, const QString& caption);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     std::function<void()> action);
    void addSeparator(QMenu* menu, const QString& name = QStringLiteral("na"));
    // The usual Help menu: the user guide, a separator, About.
    QMenu* addHelpMenu(const QString& menuName = QStringLiteral("help"),
                       const QString& guideName = QStringLiteral("guide"),
                       const QString& aboutCaption = QStringLiteral("About"));
    // Editors bring the dashboard back when they go (not while the program ends).
    void showDashboardAgain();

    void closeEvent(QCloseEvent* event) override;

private:
    friend class MDIForm1;
    MDIForm1& m_frame;
    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client = nullptr;
    std::unique_ptr<Connection> m_db;
    bool m_unloading = false;
    bool m_unloaded = false;
};

} // namespace veil
