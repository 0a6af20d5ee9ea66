#pragma once

#include <QString>

#include <array>
#include <cstddef>
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
// Registers window classes under their designer names, given in the same
// order: registerWindows<Form1, Form3>({"Form1", "Form3"}).
template <class... Windows>
void registerWindows(const std::array<const char*, sizeof...(Windows)>& names) {
    std::size_t i = 0;
    (registerWindow(QLatin1String(names[i++]), [](MDIForm1& frame) { return new Windows(frame); }), ...);
}

// Registers the shell's own windows (the dashboard, the About box).
void registerAppWindows();

} // namespace veil
