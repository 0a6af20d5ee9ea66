#include "shell/mainframe.h"

#include "widgets/art.h"
#include "shell/casewindow.h"
#include "shell/splashwindow.h"
#include "shell/jetoffer.h"
#include "store/paths.h"
#include "store/searchindex.h"
#include "store/ui.h"
#include "shell/windowregistry.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QProgressDialog>
#include <QScreen>
#include <QUrl>

namespace veil {

namespace {

QPointer<MDIForm1> g_frame;

// The work area: the workspace colour with the frame's small picture in the
// lower right corner, out of the way of the windows.
class WorkArea : public QMdiArea {
public:
    explicit WorkArea(QWidget* parent) : QMdiArea(parent) {
        setObjectName(QStringLiteral("MDIClient"));
        m_picture = QPixmap::fromImage(art::draw(art::Picture::FrameBackground));
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QMdiArea::paintEvent(event);
        QPainter p(viewport());
        const QRect r = viewport()->rect();
        p.setOpacity(0.85);
        p.drawPixmap(r.right() - m_picture.width() - 24, r.bottom() - m_picture.height() - 24, m_picture);
    }

private:
    QPixmap m_picture;
};

} // namespace

MDIForm1::MDIForm1(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), m_programFolder(programFolder) {
    g_frame = this;
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(kProgramName);
    setWindowIcon(QIcon(QPixmap::fromImage(art::icon(64))));
    setAttribute(Qt::WA_DeleteOnClose);
    m_area = new WorkArea(this);
    setCentralWidget(m_area);

    menuBar()->setNativeMenuBar(false);
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file"));
    QAction* main = file->addAction(QStringLiteral("&Main"), this, [this] { show(QStringLiteral("Form2")); });
    main->setObjectName(QStringLiteral("Main"));
    // The dashboard's Edit menu holds the shortcut; one owner keeps it unambiguous.
    file->addAction(QStringLiteral("&Find…"), this, [this] { show(QStringLiteral("SearchWindow")); })
        ->setObjectName(QStringLiteral("find"));
    QAction* exit = file->addAction(QStringLiteral("&Exit"), this, [this] { close(); });
    exit->setObjectName(QStringLiteral("exit"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("help"));
    help->addAction(QStringLiteral("Veilcase User Guide"), this, [this] { open_help(); })
        ->setObjectName(QStringLiteral("guide"));
    help->addSeparator()->setObjectName(QStringLiteral("na"));
    help->addAction(QStringLiteral("About"), this, [this] { open_about(); })
        ->setObjectName(QStringLiteral("about"));

    // Building the search index of a large case file takes a while: say how far it is.
    setIndexProgress([this](qint64 done, qint64 total) {
        if (!m_indexProgress) {
            if (done >= total)
                return;
            m_indexProgress = new QProgressDialog(QStringLiteral("Building the search index…"), QString(), 0, 1000, this);
            m_indexProgress->setObjectName(QStringLiteral("IndexProgress"));
            m_indexProgress->setWindowTitle(kProgramName);
            m_indexProgress->setWindowModality(Qt::ApplicationModal);
            m_indexProgress->setMinimumDuration(500);
            m_indexProgress->setAutoClose(false);
        }
        m_indexProgress->setValue(total > 0 ? int(done * 1000 / total) : 1000);
        if (done >= total)
            delete m_indexProgress;
    });

    // Design client size 13515 x 10470 twips, centred on the screen.
    resize(tw(13515), tw(10470) + menuBar()->sizeHint().height());
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        move(g.center() - rect().center());
    }
}

MDIForm1::~MDIForm1() {
    // Children go with the frame; make sure none runs handlers that reach back.
    m_shuttingDown = true;
    if (g_frame == this)
        setIndexProgress({});
}

MDIForm1* MDIForm1::instance() { return g_frame; }

void MDIForm1::loadFrame(Form8* splash) {
    if (splash) {
        splash->stopTimer();
        splash->unload();
    }
    // A case file of the older Windows version is offered for import first.
    offerJetImport(m_programFolder);
    show(QStringLiteral("Form2"));
}

CaseWindow* MDIForm1::loaded(const QString& name) const { return m_windows.value(name); }

QStringList MDIForm1::loadedNames() const {
    QStringList names;
    for (auto it = m_windows.begin(); it != m_windows.end(); ++it)
        if (it.value())
            names << it.key();
    names.sort();
    return names;
}

CaseWindow* MDIForm1::form(const QString& name) {
    if (CaseWindow* w = loaded(name))
        return w;
    if (m_shuttingDown)
        return nullptr;
    const WindowFactory* make = windowFactory(name);
    if (!make)
        return nullptr;
    CaseWindow* w = (*make)(*this);
    QMdiSubWindow* sub = m_area->addSubWindow(w, Qt::SubWindow | Qt::WindowTitleHint |
                                                    Qt::WindowSystemMenuHint |
                                                    Qt::WindowMinimizeButtonHint |
                                                    Qt::WindowCloseButtonHint);
    sub->setObjectName(name + QStringLiteral("Window"));
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    sub->setWindowTitle(w->windowTitle());
    m_windows.insert(name, w);
    try {
        w->load();
    } catch (const DbError& e) {
        // The window cannot work without its data; say why and let it go.
        forget(w);
        w->m_unloaded = true;
        sub->close();
        message(e.text());
        return nullptr;
    }
    sub->adjustSize();
    return w;
}

CaseWindow* MDIForm1::show(const QString& name) {
    CaseWindow* w = form(name);
    if (!w)
        return nullptr;
    QMdiSubWindow* sub = w->subWindow();
    w->show();
    sub->show();
    sub->raise();
    m_area->setActiveSubWindow(sub);
    return w;
}

bool MDIForm1::unload(const QString& name) {
    CaseWindow* w = loaded(name);
    return !w || w->unload();
}

void MDIForm1::forget(CaseWindow* window) {
    for (auto it = m_windows.begin(); it != m_windows.end();) {
        if (it.value() == window || !it.value())
            it = m_windows.erase(it);
        else
            ++it;
    }
}

void MDIForm1::open_help() {
    // Whether the desktop could open it is not examined.
    Ui::get().openUrl(QUrl::fromLocalFile(programPath(m_programFolder, files::help)));
}

void MDIForm1::open_about() { show(QStringLiteral("Form6")); }

void MDIForm1::closeEvent(QCloseEvent* event) {
    // A window that must stay (a filter still running) keeps the whole frame,
    // before anything else has been closed.
    for (QMdiSubWindow* sub : m_area->subWindowList())
        if (auto* w = qobject_cast<CaseWindow*>(sub->widget()); w && !w->queryUnload()) {
            event->ignore();
            return;
        }
    m_shuttingDown = true;
    static const char* const order[] = {"Form1", "Form2", "Form3", "Form4", "Form5", "Form6", "Form7"};
    for (const char* name : order)
        if (!unload(QString::fromLatin1(name))) {
            m_shuttingDown = false;
            event->ignore();
            return;
        }
    if (m_splash)
        m_splash->unload();
    // The remaining children close with the frame; one may refuse (a filter
    // still running), and then the frame stays.
    for (QMdiSubWindow* sub : m_area->subWindowList())
        if (!sub->close()) {
            m_shuttingDown = false;
            event->ignore();
            return;
        }
    event->accept();
}

} // namespace veil
