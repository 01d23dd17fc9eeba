#include "host/KelToken.h"

namespace {
bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f' || c == L'\v';
}
}  // namespace

KelUnicodeString KelToken::GetNextToken() {
  const int length = text.GetLengthInChar();
  while (position < length && IsBlank(text[position])) ++position;
  const int start = position;
  while (position < length && !IsBlank(text[position])) ++position;
  return text.SubString(start, position - start);
}
