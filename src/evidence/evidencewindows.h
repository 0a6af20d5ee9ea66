#pragma once

namespace veil {
// Makes the Evidence and Timeline windows known to the main frame's window registry.
void registerEvidenceWindows();
} // namespace veil
