#pragma once

#include <string>

#include "host/KelString.h"
#include "host/KelUnicodeChar.h"

// Unicode string of the host platform. Text given as bytes is read as UTF-8
// (a byte that is not valid UTF-8 stands for itself), and ConvertToChar
// writes UTF-8 back. Positions count characters from 0.
class KelUnicodeString {
 public:
  enum SearchMode { Forward, Backward };

  KelUnicodeString() = default;
  KelUnicodeString(const char* text);       // NOLINT: implicit like the host's strings
  KelUnicodeString(const KelString& text);  // NOLINT
  KelUnicodeString(KelUnicodeChar c, int count);
  KelUnicodeString(const KelUnicodeString&) = default;
  KelUnicodeString& operator=(const KelUnicodeString&) = default;
  KelUnicodeString& operator=(const char* text);

  KelUnicodeString operator+(const KelUnicodeString& other) const;
  KelUnicodeString& operator+=(const KelUnicodeString& other);
  bool operator==(const KelUnicodeString& other) const { return chars == other.chars; }
  bool operator!=(const KelUnicodeString& other) const { return chars != other.chars; }
  friend KelUnicodeString operator+(const char* left, const KelUnicodeString& right);

  KelString ConvertToChar() const;
  int GetLengthInChar() const { return static_cast<int>(chars.size()); }
  // The characters from `start`, at most `count` of them; clamped to the string.
  KelUnicodeString SubString(int start, int count) const;
  // Replaces every occurrence; returns how many were replaced.
  int ReplaceAll(const KelUnicodeString& oldText, const KelUnicodeString& newText);
  // Position of `text` searching from `start` in the given direction, -1 when absent.
  int SearchSubString(const KelUnicodeString& text, int start = 0, SearchMode mode = Forward) const;

  // printf-style formatting of one integer; the format must hold exactly one
  // integer conversion (such as "%d", "%04x", "%08x"), otherwise -1 and the
  // string is left unchanged. Returns 0 on success.
  int BuildFromNum(int value, const char* format = "%d");
  int BuildFromNum(unsigned int value, const char* format = "%u");
  // scanf-style parsing of the whole string (surrounding blanks allowed) with
  // one conversion ("%d" for int, "%le"/"%lf"/"%lg" for double). Returns 1
  // when the whole string was a number, 0 otherwise; the target is then untouched.
  int ConvertToNum(int* value, const char* format = "%d") const;
  int ConvertToNum(double* value, const char* format = "%le") const;

  // Writes the characters and a terminating zero; the buffer must hold
  // GetLengthInChar() + 1 wide characters.
  void ConvertToWChar(wchar_t* buffer) const;
  void BuildFromWChar(const wchar_t* text);
  wchar_t operator[](int i) const;

 private:
  std::wstring chars;
};
