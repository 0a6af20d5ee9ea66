#include "widgets/editwatch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>

namespace veil {

EditWatch::EditWatch(QWidget* root) : QObject(root) {
    auto markIt = [this] { m_changed = true; };
    for (QLineEdit* box : root->findChildren<QLineEdit*>()) {
        // A combo box's own line edit is covered by the combo box below.
        if (!qobject_cast<QComboBox*>(box->parentWidget()))
            connect(box, &QLineEdit::textEdited, this, markIt);
    }
    for (QTextEdit* box : root->findChildren<QTextEdit*>())
        connect(box, &QTextEdit::textChanged, this, markIt);
    for (QComboBox* box : root->findChildren<QComboBox*>())
        connect(box, &QComboBox::editTextChanged, this, markIt);
    for (QCheckBox* box : root->findChildren<QCheckBox*>())
        connect(box, &QCheckBox::toggled, this, markIt);
}

void EditWatch::watchMarks(QListWidget* list) {
    auto markIt = [this] { m_changed = true; };
    connect(list, &QListWidget::itemSelectionChanged, this, markIt);
    connect(list, &QListWidget::itemChanged, this, markIt);
}

} // namespace veil
