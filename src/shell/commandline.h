#pragma once

#include <optional>

namespace veil {

// The program takes no arguments. `veilcase --help` and `veilcase --version`
// answer on standard output without asking for a window system (the manual
// page is made from these two answers); any other argument is refused with
// one line on standard error. Returns the exit code when the program is to
// end at once, nothing when it is to start as usual. Call before the
// application object exists.
std::optional<int> answerCommandLine(int argc, char** argv);

} // namespace veil
