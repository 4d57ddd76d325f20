#pragma once
// quarn-tool as a function: the words after the program name in, the exit
// status out, everything it prints on the two streams. main() and the tests
// run it the same way.
#include <iosfwd>
#include <string>
#include <vector>

[[nodiscard]] int runTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
