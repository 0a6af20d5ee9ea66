#pragma once

namespace veil {
// Makes this layer's windows known to the main frame's window registry.
void registerRecordWindows();
} // namespace veil
