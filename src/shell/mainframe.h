// The main frame (MDIForm1) that holds every other window.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QMdiArea;
class QProgressDialog;

namespace veil {

class CaseWindow;
class Form8;

// The main frame: a window with a multiple-document area that holds every
// other window but the splash. It keeps the registry of loaded windows: each
// kind exists at most once, referring to one loads it, unloading destroys it.
class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIForm1(const QString& programFolder, QWidget* parent = nullptr);
    ~MDIForm1() override;

    // The frame of the running program (the newest one), or nullptr.
    static MDIForm1* instance();

    const QString& programFolder() const { return m_programFolder; }
    QMdiArea* area() const { return m_area; }

    // The frame's load handler: switches the splash's timer off, unloads the
    // splash and shows the dashboard.
    void loadFrame(Form8* splash = nullptr);

    // The window of that name, loaded first if it is not; nullptr when there is
    // no such window or its load failed (the failure has been reported).
    CaseWindow* form(const QString& name);
    template <class T> T* formAs(const QString& name) { return qobject_cast<T*>(form(name)); }
    // The window if it is loaded, without loading it.
    CaseWindow* loaded(const QString& name) const;
    template <class T> T* loadedAs(const QString& name) const { return qobject_cast<T*>(loaded(name)); }
    QStringList loadedNames() const;

    using QMainWindow::show;
    // Loads if needed, shows modeless and brings to the front.
    CaseWindow* show(const QString& name);
    // Unloads the window if loaded; false when it refused.
    bool unload(const QString& name);

    bool isShuttingDown() const { return m_shuttingDown; }

    void open_help();
    void open_about();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class CaseWindow;
    void forget(CaseWindow* window);

    QString m_programFolder;
    QMdiArea* m_area = nullptr;
    QHash<QString, QPointer<CaseWindow>> m_windows;
    QPointer<Form8> m_splash;
    QPointer<QProgressDialog> m_indexProgress;
    bool m_shuttingDown = false;
};

} // namespace veil
