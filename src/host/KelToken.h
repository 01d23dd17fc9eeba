#pragma once

#include "host/KelUnicodeString.h"

// Splits a line of text into tokens separated by white space.
class KelToken {
 public:
  explicit KelToken(const KelUnicodeString& text) : text(text) {}
  // The next token; the empty string once the line is used up.
  KelUnicodeString GetNextToken();

 private:
  KelUnicodeString text;
  int position = 0;
};
