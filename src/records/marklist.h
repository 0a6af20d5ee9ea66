#pragma once

#include <QListWidget>

namespace veil {

// A list whose entries the user marks, any number at once: either by
// clicking an entry (it turns selected, a second click unselects it; keys
// only move the current entry) or by ticking the check box in front of it. Marked entries are saved as a list
// field ("Ann,Bob,") and marked again from one.
class MarkList : public QListWidget {
    Q_OBJECT
public:
    enum class Style { Select, Check };
    MarkList(QWidget* parent, const QString& name, const QRect& geometry, Style style);

    Style style() const { return m_style; }
    bool isMarked(int row) const;
    void setMarked(int row, bool marked);
    // The marked entries as a list field, in list order.
    QString markedText() const;
    // Marks exactly the entries equal (case-sensitive) to one of the first
    // count() items of the list field.
    void markFrom(const QString& listText);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void prepareRows(int first, int last);
    Style m_style;
};

} // namespace veil
