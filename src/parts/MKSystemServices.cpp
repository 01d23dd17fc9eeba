#include "parts/MKSystemServices.h"

#include <clocale>

const char* const MKSystemServices::sUnitializedSymbol = "*";

namespace {
KelUnicodeString& SystemDecimalPoint() {
  static KelUnicodeString cache(MKSystemServices::sUnitializedSymbol);
  return cache;
}
KelUnicodeString& DecimalPointToChange() {
  static KelUnicodeString cache(MKSystemServices::sUnitializedSymbol);
  return cache;
}
}  // namespace

KelUnicodeString MKSystemServices::GetSlash() {
  return "/";
}

KelUnicodeString MKSystemServices::GetSystemDecimalPoint() {
  KelUnicodeString& cache = SystemDecimalPoint();
  if (cache == sUnitializedSymbol) {
    const std::lconv* conventions = std::localeconv();
    if (conventions && conventions->decimal_point && conventions->decimal_point[0]) {
      const char first[2] = {conventions->decimal_point[0], 0};
      cache = first;
    } else {
      cache = ".";
    }
  }
  return cache;
}

KelUnicodeString MKSystemServices::GetDecimalPointToChange() {
  KelUnicodeString& cache = DecimalPointToChange();
  if (cache == sUnitializedSymbol) {
    const KelUnicodeString point = GetSystemDecimalPoint();
    if (point == ".")
      cache = ",";
    else if (point == ",")
      cache = ".";
  }
  return cache;
}
