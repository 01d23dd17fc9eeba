#include "parts/MKSystemServices.h"

#include <clocale>

const char* const MKSystemServices::sUnitializedSymbol = "*";

namespace {
KelUnicodeString ReadSystemDecimalPoint() {
  const std::lconv* conventions = std::localeconv();
  if (conventions && conventions->decimal_point && conventions->decimal_point[0]) {
    const char first[2] = {conventions->decimal_point[0], 0};
    return first;
  }
  return ".";
}
}  // namespace

KelUnicodeString MKSystemServices::GetSlash() {
  return "/";
}

KelUnicodeString MKSystemServices::GetSystemDecimalPoint() {
  // Read once, by whichever thread asks first; the others wait for it.
  static const KelUnicodeString point = ReadSystemDecimalPoint();
  return point;
}

KelUnicodeString MKSystemServices::GetDecimalPointToChange() {
  static const KelUnicodeString toChange = [] {
    const KelUnicodeString point = GetSystemDecimalPoint();
    if (point == ".") return KelUnicodeString(",");
    if (point == ",") return KelUnicodeString(".");
    return KelUnicodeString(sUnitializedSymbol);
  }();
  return toChange;
}
