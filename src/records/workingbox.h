#pragma once

#include <initializer_list>
#include <utility>

class QLineEdit;
class QWidget;

namespace veil {

// Hidden single-line boxes in which a window keeps working values (a mode
// key, a location, a list field), each named as the member that holds it.
// They have no length limit, so a long list field is never cut.
void makeWorkingBoxes(QWidget* parent, std::initializer_list<std::pair<QLineEdit**, const char*>> boxes);

} // namespace veil
