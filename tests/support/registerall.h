#pragma once

namespace veil::test {

// Registers every window of every layer once.
void registerAll();

} // namespace veil::test
