#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace veil::test {

// Drags data onto a widget and drops it there, as a file manager does: a real
// drag-enter and drop with text/uri-list data. False when the widget refused
// the drag (it is not a drop target).
bool dropUrls(QWidget* target, const QList<QUrl>& urls);
bool dropFiles(QWidget* target, const QStringList& files);

} // namespace veil::test
