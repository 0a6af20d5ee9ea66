#include "recordwindows.h"

#include "windowregistry.h"

namespace veil {

void registerRecordWindows() {
}

} // namespace veil
