#pragma once

#include <QString>

#include <functional>

namespace veil {

class CaseWindow;
class MDIForm1;

// How a window kind is made. Each layer registers its windows by designer
// name ("Form1"); the main frame makes them on first reference, so a window
// can open another without linking to it.
using WindowFactory = std::function<CaseWindow*(MDIForm1& frame)>;

void registerWindow(const QString& name, WindowFactory factory);
const WindowFactory* windowFactory(const QString& name);

// Registers the shell's own windows (the dashboard, the About box).
void registerAppWindows();

} // namespace veil
