#pragma once
#include <string>
#include <string_view>

// Turns a file dialog filter of "description|patterns|description|patterns"
// pairs (patterns separated by ";") into Qt's "description (p1 p2);;..." form.
std::string qtFileFilter(std::string_view pairs);

// The default suffix without its dot (".nes" gives "nes").
std::string suffixWithoutDot(std::string_view extension);
