#include "records/marklist.h"

#include "store/casekey.h"

#include <QKeyEvent>
#include <QSet>

namespace veil {

MarkList::MarkList(QWidget* parent, const QString& name, const QRect& geometry, Style style)
    : QListWidget(parent), m_style(style) {
    setObjectName(name);
    setGeometry(geometry);
    setSelectionMode(style == Style::Select ? QAbstractItemView::MultiSelection
                                            : QAbstractItemView::SingleSelection);
    if (style == Style::Check)
        connect(model(), &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex&, int first, int last) { prepareRows(first, last); });
}

void MarkList::prepareRows(int first, int last) {
    // Entries come in unticked however they were added.
    for (int row = first; row <= last; ++row) {
        QListWidgetItem* it = item(row);
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(Qt::Unchecked);
    }
}

QItemSelectionModel::SelectionFlags MarkList::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const {
    // Type-ahead and the arrow keys come without a mouse event: they move the
    // current entry but must not mark one the user never clicked.
    if (m_style == Style::Select && (!event || event->type() == QEvent::KeyPress))
        return QItemSelectionModel::NoUpdate;
    return QListWidget::selectionCommand(index, event);
}

void MarkList::keyPressEvent(QKeyEvent* event) {
    if (m_style == Style::Select && event->matches(QKeySequence::SelectAll)) {
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

bool MarkList::isMarked(int row) const {
    const QListWidgetItem* it = item(row);
    if (!it)
        return false;
    return m_style == Style::Select ? it->isSelected() : it->checkState() == Qt::Checked;
}

void MarkList::setMarked(int row, bool marked) {
    QListWidgetItem* it = item(row);
    if (!it)
        return;
    if (m_style == Style::Select)
        it->setSelected(marked);
    else
        it->setCheckState(marked ? Qt::Checked : Qt::Unchecked);
}

QString MarkList::markedText() const {
    QStringList marked;
    for (int row = 0; row < count(); ++row)
        if (isMarked(row))
            marked << item(row)->text();
    return listText(marked);
}

void MarkList::markFrom(const QString& text) {
    const QStringList items = listItems(text, count());
    const QSet<QString> wanted(items.begin(), items.end());
    for (int row = 0; row < count(); ++row)
        setMarked(row, wanted.contains(item(row)->text()));
}

} // namespace veil
