#pragma once
// The numerical library's output for its tests: printed lines are kept in memory, and a stop
// throws LibraryStopped so that a test can see that the program would have ended, and where.

#include <string>
#include <vector>

namespace numerics::testing {

struct LibraryStopped {};

std::vector<std::string>& printed_lines();

// Every line printed so far, joined with newlines.
std::string printed_text();

// The printed words without the " *** " prefixes, each followed by one blank, so that a
// message can be compared whatever the line breaks.
std::string printed_words();

// A fresh library state for each test: empty error stack with default attributes, generator
// before first use, nothing printed.
void reset_library_state();

}  // namespace numerics::testing
