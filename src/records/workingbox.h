#pragma once

class QLineEdit;
class QString;
class QWidget;

namespace veil {

// A hidden single-line box in which a window keeps a working value (a mode
// key, a location, a list field). It has no length limit, so a long list
// field is never cut.
QLineEdit* makeWorkingBox(QWidget* parent, const QString& name);

} // namespace veil
