#pragma once

#include "shell/casewindow.h"
#include "store/searchindex.h"

#include <QMap>

class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace veil {

class ImageButton;

// Finds records by the words they hold. Results come as the query is typed
// (after a short pause), grouped by kind with a count per kind; opening one
// sets the dashboard's lists to the record's keys and opens its window, as
// the dashboard's own buttons would.
//
// Controls:
//   Label1 "Find:"   QueryBox       the query
//   SearchMessage    how many were found, or why the query cannot be read
//   ResultsList      one group per kind: key, field and the words around the match
//   OpenButton on OpenFace "Open";  CloseButton on CloseFace "Close"
class SearchWindow : public CaseWindow {
    Q_OBJECT
public:
    explicit SearchWindow(MDIForm1& frame);

    void load() override;

    // Runs the query in the box now (the pause does it by itself).
    void runSearch();
    // Opens the record of a result line; false when it could not.
    bool openResult(QTreeWidgetItem* item);

    QLineEdit* QueryBox = nullptr;
    QLabel* SearchMessage = nullptr;
    QTreeWidget* ResultsList = nullptr;
    ImageButton* OpenButton = nullptr;
    ImageButton* CloseButton = nullptr;

    // Role of a result line's snippet as rich text, matched words in bold.
    static constexpr int kSnippetHtmlRole = Qt::UserRole + 1;

private:
    void openHit(const SearchHit& hit);
    bool openListEntry(const QString& window, const QString& entry);
    bool makeRoomFor(const QString& window);
    // The group lines, "more" lines and message for these counts, each exact up to `cap`.
    void showCounts(const QHash<HitKind, int>& counts, int cap);

    QTimer* m_pause = nullptr;
    QList<SearchHit> m_hits;
    QMap<HitKind, QTreeWidgetItem*> m_groups; // in the order of hitKinds()
    int m_asked = 0;                          // queries run, so a late count knows its own
};

} // namespace veil
