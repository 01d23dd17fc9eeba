#pragma once

#include "host/KelUnicodeString.h"

// Path separator and decimal-point answers for the text-file readers. The two
// decimal-point answers are computed once, on first use by any thread, and
// then kept, so a later change of locale is not seen.
class MKSystemServices {
 public:
  static KelUnicodeString GetSlash();
  // The C library's decimal point under the current locale ("." when unknown).
  static KelUnicodeString GetSystemDecimalPoint();
  // The separator a text file may use that the C library would not accept:
  // "," under a "." locale, "." under a "," locale; "*" for any other
  // decimal point.
  static KelUnicodeString GetDecimalPointToChange();

  // The answer of GetDecimalPointToChange when there is nothing to change.
  static const char* const sUnitializedSymbol;
};
