#include "widgets/sortedlist.h"

#include <QComboBox>
#include <QListWidget>

#include <algorithm>

namespace veil {

bool sortedBefore(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

namespace {
template <class Count, class At>
int insertionPoint(int n, const QString& text, Count, At at) {
    int lo = 0, hi = n;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (sortedBefore(text, at(mid)))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

QStringList merged(QStringList existing, const QStringList& texts) {
    QStringList add = texts;
    std::stable_sort(add.begin(), add.end(), sortedBefore);
    QStringList out;
    out.reserve(existing.size() + add.size());
    // Existing entries are already in order; new ones go after equal ones.
    std::merge(existing.begin(), existing.end(), add.begin(), add.end(), std::back_inserter(out),
               sortedBefore);
    return out;
}
} // namespace

void addSorted(QComboBox* box, const QString& text) {
    const int at = insertionPoint(box->count(), text, 0, [box](int i) { return box->itemText(i); });
    box->insertItem(at, text);
}

void addSorted(QListWidget* list, const QString& text) {
    const int at = insertionPoint(list->count(), text, 0, [list](int i) { return list->item(i)->text(); });
    list->insertItem(at, text);
}

void addAllSorted(QComboBox* box, const QStringList& texts) {
    QStringList existing;
    for (int i = 0; i < box->count(); ++i)
        existing << box->itemText(i);
    const QString edit = box->currentText();
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(merged(existing, texts));
    box->setEditText(edit);
}

void addAllSorted(QListWidget* list, const QStringList& texts) {
    QStringList existing;
    for (int i = 0; i < list->count(); ++i)
        existing << list->item(i)->text();
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(merged(existing, texts));
}

void refillSorted(QListWidget* list, const QStringList& texts, bool& filling) {
    filling = true;
    list->clear();
    addAllSorted(list, texts);
    list->setCurrentRow(-1);
    filling = false;
}

void onChosen(QListWidget* list, QObject* context, const bool& filling, std::function<void()> chosen) {
    QObject::connect(list, &QListWidget::itemSelectionChanged, context,
                     [list, &filling, chosen = std::move(chosen)] {
                         if (!filling && list->currentItem())
                             chosen();
                     });
}

} // namespace veil
