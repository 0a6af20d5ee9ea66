#pragma once

#include <QStringList>

#include <functional>

class QComboBox;
class QListWidget;
class QObject;

namespace veil {

// Lists that keep their entries in alphabetical order without regard to case,
// as the old sorted list controls did: an entry goes after those that compare
// equal to it, so equal entries keep the order in which they were added.
bool sortedBefore(const QString& a, const QString& b);
void addSorted(QComboBox* box, const QString& text);
void addSorted(QListWidget* list, const QString& text);
// Adds many entries at once; the same order as adding them one by one.
void addAllSorted(QComboBox* box, const QStringList& texts);
void addAllSorted(QListWidget* list, const QStringList& texts);

// A list the user chooses entries from and the window refills: refillSorted
// leaves no entry chosen and holds `filling` true meanwhile, so that onChosen
// calls `chosen` only for the user's choices.
void refillSorted(QListWidget* list, const QStringList& texts, bool& filling);
void onChosen(QListWidget* list, QObject* context, const bool& filling, std::function<void()> chosen);

} // namespace veil
