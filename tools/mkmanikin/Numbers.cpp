#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace mkcli {

bool ParseNumber(const std::string& text, double& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;  // from_chars takes no plus sign
  double parsed = 0.0;
  const auto [end, error] = std::from_chars(first, last, parsed, std::chars_format::general);
  if (error != std::errc() || end != last || first == last || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

std::string ShortestText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string FixedText(double value, int decimals) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  // No "-0.0".
  if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);
  return text;
}

}  // namespace mkcli
