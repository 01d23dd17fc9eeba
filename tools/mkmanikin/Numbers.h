#pragma once

#include <string>

namespace mkcli {

// A whole string read as a finite decimal number ("175", "-2.5", "1e3"),
// whatever the locale; false for anything else.
bool ParseNumber(const std::string& text, double& value);

// The shortest text that reads back as exactly `value`.
std::string ShortestText(double value);

// `value` with `decimals` digits after the point.
std::string FixedText(double value, int decimals);

}  // namespace mkcli
