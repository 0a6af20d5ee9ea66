#pragma once

namespace veil {
// Makes the Search window known to the main frame's window registry.
void registerSearchWindows();
} // namespace veil
