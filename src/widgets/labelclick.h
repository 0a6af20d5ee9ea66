#pragma once

#include <functional>

class QWidget;

namespace veil {

// Labels that act when clicked (link labels, "E-Mail:"): the action runs when
// the left mouse button is released over the widget. The handler lives as
// long as the widget.
void onClick(QWidget* widget, std::function<void()> action);
// The same for a double-click with the left button.
void onDoubleClick(QWidget* widget, std::function<void()> action);

} // namespace veil
