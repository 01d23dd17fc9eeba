#pragma once

// One character of a KelUnicodeString.
class KelUnicodeChar {
 public:
  KelUnicodeChar() = default;
  explicit KelUnicodeChar(char c) : code(static_cast<unsigned char>(c)) {}
  explicit KelUnicodeChar(wchar_t c) : code(c) {}
  wchar_t GetCode() const { return code; }

 private:
  wchar_t code = 0;
};
