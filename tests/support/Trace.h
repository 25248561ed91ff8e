// Trace.h - runs one test of this binary in a child process under apitrace, for call checks.
#pragma once

#include <string>
#include <vector>

namespace bm::test {

// The GL and GLX calls the child made, one per line as apitrace dumps them, without call
// numbers. Empty, with a test failure recorded, when the trace cannot be made.
std::vector<std::string> tracedCalls(const std::string& test);

}  // namespace bm::test
