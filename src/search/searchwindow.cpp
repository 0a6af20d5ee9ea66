#include "search/searchwindow.h"

#include "shell/dashboardwindow.h"
#include "shell/mainframe.h"
#include "store/ui.h"
#include "widgets/controls.h"
#include "widgets/imagebutton.h"

#include <QAbstractTextDocumentLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace veil {

namespace {

constexpr int kHitRole = Qt::UserRole;
constexpr int kPauseMs = 300;
constexpr int kListed = 50; // hits listed per kind

// Draws a result's snippet as rich text, so the matched words stand out.
class SnippetDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QString html = index.data(SearchWindow::kSnippetHtmlRole).toString();
        if (html.isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget* w = opt.widget;
        w->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
        QTextDocument doc;
        doc.setDocumentMargin(0);
        doc.setDefaultFont(opt.font);
        doc.setHtml(html);
        const QRect r = opt.rect.adjusted(4, 0, -4, 0);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.palette.setColor(QPalette::Text, opt.palette.color(opt.state & QStyle::State_Selected
                                                                   ? QPalette::HighlightedText
                                                                   : QPalette::Text));
        painter->save();
        painter->translate(r.left(), r.top() + (r.height() - doc.size().height()) / 2);
        ctx.clip = QRectF(0, 0, r.width(), r.height());
        painter->setClipRect(ctx.clip);
        doc.documentLayout()->draw(painter, ctx);
        painter->restore();
    }
};

// The dashboard's words for "a new record": a key spelled so cannot be handed over.
bool isListWord(const QString& key) { return key == QLatin1String("New") || key == QLatin1String("Add"); }

QString windowFor(HitKind kind) {
    switch (kind) {
    case HitKind::Location: return QStringLiteral("Form1");
    case HitKind::Investigation: return QStringLiteral("Form3");
    case HitKind::Evidence: return QStringLiteral("EvidenceWindow");
    case HitKind::Interview: return QStringLiteral("Form4");
    case HitKind::Investigator: return QStringLiteral("Form5");
    case HitKind::Equipment: return QStringLiteral("Form7");
    case HitKind::Picture: return QStringLiteral("Form9");
    }
    return {};
}

} // namespace

SearchWindow::SearchWindow(MDIForm1& frame) : CaseWindow(frame, QStringLiteral("SearchWindow")) {
    QWidget* c = designClient(QStringLiteral("Find"), 9900, 6900);

    makeLabel(c, QStringLiteral("Label1"), QStringLiteral("Find:"), twRect(120, 165, 660, 285), true);
    QueryBox = makeTextBox(c, QStringLiteral("QueryBox"), twRect(780, 120, 9000, 330));
    QueryBox->setPlaceholderText(QStringLiteral("words, prefix*, \"a phrase\", OR, NOT"));
    QueryBox->setClearButtonEnabled(true);

    SearchMessage = makeLabel(c, QStringLiteral("SearchMessage"), QString(), twRect(120, 540, 9660, 300));
    QPalette red = SearchMessage->palette();
    red.setColor(QPalette::WindowText, QColor(128, 0, 0)); // the dashboard's own dark red
    SearchMessage->setPalette(red);

    ResultsList = new QTreeWidget(c);
    ResultsList->setObjectName(QStringLiteral("ResultsList"));
    ResultsList->setGeometry(twRect(120, 900, 9660, 5340));
    ResultsList->setColumnCount(3);
    ResultsList->setHeaderLabels({QStringLiteral("Record"), QStringLiteral("Field"), QStringLiteral("Found")});
    ResultsList->setRootIsDecorated(true);
    ResultsList->setUniformRowHeights(true);
    ResultsList->setAllColumnsShowFocus(true);
    ResultsList->header()->setStretchLastSection(true);
    ResultsList->setColumnWidth(0, tw(3300));
    ResultsList->setColumnWidth(1, tw(1650));
    ResultsList->setItemDelegateForColumn(2, new SnippetDelegate(ResultsList));

    OpenButton = new ImageButton(c, QStringLiteral("OpenButton"), QStringLiteral("OpenFace"), QStringLiteral("Open"),
                                 twRect(7260, 6390, 1200, 360));
    CloseButton = new ImageButton(c, QStringLiteral("CloseButton"), QStringLiteral("CloseFace"),
                                  QStringLiteral("Close"), twRect(8580, 6390, 1200, 360));
    connect(OpenButton, &ImageButton::released, this, [this] { openResult(ResultsList->currentItem()); });
    connect(CloseButton, &ImageButton::released, this, [this] { unload(); });

    m_pause = new QTimer(this);
    m_pause->setObjectName(QStringLiteral("SearchPause"));
    m_pause->setSingleShot(true);
    m_pause->setInterval(kPauseMs);
    connect(m_pause, &QTimer::timeout, this, &SearchWindow::runSearch);
    connect(QueryBox, &QLineEdit::textChanged, m_pause, qOverload<>(&QTimer::start));
    connect(QueryBox, &QLineEdit::returnPressed, this, [this] {
        m_pause->stop();
        runSearch();
    });
    connect(ResultsList, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { openResult(item); });

    setFocusOrder({QueryBox, ResultsList});

    QMenu* file = addMenu(QStringLiteral("file"), QStringLiteral("&File"));
    addItem(file, QStringLiteral("open"), QStringLiteral("&Open"), [this] { openResult(ResultsList->currentItem()); });
    addItem(file, QStringLiteral("close"), QStringLiteral("&Close"), [this] { unload(); });
    addHelpMenu();
}

void SearchWindow::load() {
    CenterForm();
    openDatabase();
    QueryBox->setFocus();
}

void SearchWindow::runSearch() {
    ResultsList->clear();
    m_hits.clear();
    m_groups.clear();
    ++m_asked; // counting on for an earlier query is no longer wanted
    const QString query = QueryBox->text().trimmed();
    if (query.isEmpty()) {
        SearchMessage->clear();
        return;
    }
    SearchResult r;
    try {
        r = firstHits(db(), query, kListed);
    } catch (const DbError& e) {
        r.error = e.text(); // the file failed: said where the results would be
    }
    if (!r.error.isEmpty()) {
        SearchMessage->setText(r.error);
        return;
    }
    m_hits = r.hits;
    QTreeWidgetItem* first = nullptr; // current, so Tab then Enter opens the best hit
    for (HitKind kind : hitKinds()) {
        const int count = r.counts.value(kind);
        if (count == 0)
            continue;
        auto* group = new QTreeWidgetItem(ResultsList);
        group->setFirstColumnSpanned(true);
        QFont bold = group->font(0);
        bold.setBold(true);
        group->setFont(0, bold);
        m_groups.insert(kind, group);
        for (int i = 0; i < m_hits.size(); ++i) {
            const SearchHit& h = m_hits[i];
            if (h.kind != kind)
                continue;
            auto* item = new QTreeWidgetItem(group, {h.key, h.field, markSnippet(h.snippet, {}, {})});
            item->setData(0, kHitRole, i);
            item->setData(2, kSnippetHtmlRole, markSnippet(h.snippet, QStringLiteral("<b>"), QStringLiteral("</b>"), true));
            item->setToolTip(2, item->text(2));
            if (!first)
                first = item;
        }
        group->setExpanded(true);
    }
    ResultsList->setCurrentItem(first);
    showCounts(r.counts, kRankWindow);
    // The hits are on the screen; a kind with many is counted on after.
    if (std::any_of(r.counts.cbegin(), r.counts.cend(), [](int n) { return n > kRankWindow; }))
        QTimer::singleShot(0, this, [this, r, asked = m_asked]() mutable {
            if (asked != m_asked || !hasDb()) // another query since, or the window closed
                return;
            try {
                countOn(db(), r);
            } catch (const DbError& e) {
                SearchMessage->setText(e.text());
                return;
            }
            showCounts(r.counts, kCountCap);
        });
}

void SearchWindow::showCounts(const QHash<HitKind, int>& counts, int cap) {
    const QLocale locale;
    // Beyond the cap the count says "more than".
    auto number = [&](int n) { return n > cap ? locale.toString(cap) + u'+' : locale.toString(n); };
    bool capped = false;
    int total = 0;
    for (auto g = m_groups.cbegin(); g != m_groups.cend(); ++g) {
        const int count = counts.value(g.key());
        total += std::min(count, cap); // "more than" the cap, not more than the cap and one
        capped |= count > cap;
        QTreeWidgetItem* group = g.value();
        group->setText(0, QStringLiteral("%1 (%2)").arg(kindTitle(g.key()), number(count)));
        QTreeWidgetItem* last = group->child(group->childCount() - 1);
        if (last && !last->data(0, kHitRole).isValid())
            delete last; // the "more" line of a count before this one
        const int shown = group->childCount();
        if (shown < count)
            new QTreeWidgetItem(group, {count > cap ? QStringLiteral("… and many more: add words to narrow the search")
                                                     : QStringLiteral("… %1 more").arg(count - shown)});
    }
    SearchMessage->setText(total == 0  ? QStringLiteral("Nothing found.")
                           : capped    ? QStringLiteral("More than %1 records found.").arg(locale.toString(total))
                           : total == 1 ? QStringLiteral("1 record found.")
                                        : QStringLiteral("%1 records found.").arg(locale.toString(total)));
}

bool SearchWindow::openResult(QTreeWidgetItem* item) {
    if (!item)
        return false;
    bool ok = false;
    const int i = item->data(0, kHitRole).toInt(&ok);
    if (!ok || i < 0 || i >= m_hits.size())
        return false;
    try {
        openHit(m_hits[i]);
    } catch (const DbError& e) {
        message(e.text());
        return false;
    }
    return true;
}

bool SearchWindow::makeRoomFor(const QString& window) {
    CaseWindow* w = frame().loaded(window);
    if (!w)
        return true;
    if (w->hasUnsavedChanges() &&
        !Ui::get().question(QStringLiteral("The window \"%1\" holds changes that have not been saved. Open the "
                                           "found record in it and lose them?")
                                .arg(w->caption()),
                            kProgramName))
        return false;
    return w->unload();
}

bool SearchWindow::openListEntry(const QString& window, const QString& entry) {
    CaseWindow* w = frame().loaded(window);
    if (w && w->hasUnsavedChanges() && !makeRoomFor(window))
        return false;
    w = frame().show(window);
    auto* list = w ? w->findChild<QListWidget*>(QStringLiteral("List1")) : nullptr;
    if (!list)
        return false;
    const auto found = list->findItems(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty()) {
        message(QStringLiteral("\"%1\" is no longer in the list.").arg(entry));
        return false;
    }
    list->setCurrentItem(found.first()); // chosen as the user would
    list->scrollToItem(found.first());
    return true;
}

void SearchWindow::openHit(const SearchHit& hit) {
    if (hit.kind == HitKind::Investigator || hit.kind == HitKind::Equipment) {
        openListEntry(windowFor(hit.kind), hit.key);
        return;
    }
    const RecordPlace place = placeOf(db(), hit);
    if (place.location.isEmpty()) {
        message(QStringLiteral("This record is no longer in the case file, or the investigation it belongs to is not."));
        return;
    }
    for (const QString& key : {place.location, place.investigation, place.interview, place.picture})
        if (isListWord(key)) {
            message(QStringLiteral("This record cannot be opened from the dashboard: its key \"%1\" is the word the "
                                   "dashboard uses for a new record.")
                        .arg(key));
            return;
        }
    const QString window = windowFor(hit.kind);
    if (!makeRoomFor(window))
        return;
    auto* dashboard = frame().formAs<Form2>(QStringLiteral("Form2"));
    if (!dashboard)
        return;
    dashboard->chooseRecord(place.location, place.investigation, place.interview, place.picture);
    frame().show(window);
}

} // namespace veil
