#include "toolwindows.h"

#include "windowregistry.h"

namespace veil {

void registerToolWindows() {
}

} // namespace veil
