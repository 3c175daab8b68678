// A count of the GL calls a program makes, for benchmarks that report GL calls per frame or per sprite.
//
// Linking GLCallCounter.cpp into a benchmark puts a counting stand-in in front of each GL 1.1 entry point
// the runtime's drawing code uses: every call made from the program (the runtime's static libraries
// included) adds one to the count and goes on to the GL library's own function. Calls GL makes inside
// itself, and those SDL makes through pointers it looked up, are not counted.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace vanta::bench {

// The GL calls counted since the program started.
std::int64_t GLCallCount();
// The same count by entry point name (only the names called at least once).
std::map<std::string, std::int64_t> GLCallCountsByName();

} // namespace vanta::bench
