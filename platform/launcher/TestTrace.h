#ifndef VESTIBAR_TEST_TRACE_H
#define VESTIBAR_TEST_TRACE_H

#include <string>

// For end-to-end tests only: when VESTIBAR_TEST_TRACE names a file, the launcher appends one
// line per observable event (page loaded, navigation refused, page text changed, page call, sound). Players never
// set it, and nothing is written without it.
namespace TestTrace {

bool Enabled();
void Write(const std::string& kind, const std::string& detail);

}  // namespace TestTrace

#endif
