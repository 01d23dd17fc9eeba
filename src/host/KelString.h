#pragma once

#include <string>

// Byte string of the host platform. Positions count from 0.
class KelString {
 public:
  KelString() = default;
  KelString(const char* text);  // NOLINT: implicit by design, as the host's strings are
  KelString(const KelString&) = default;
  KelString& operator=(const KelString&) = default;
  KelString& operator=(const char* text);

  KelString operator+(const char* text) const;
  KelString operator+(const KelString& other) const;
  KelString& operator+=(const char* text);
  KelString& operator+=(const KelString& other);

  bool operator==(const char* text) const;
  bool operator==(const KelString& other) const { return bytes == other.bytes; }
  bool operator!=(const char* text) const { return !(*this == text); }
  bool operator!=(const KelString& other) const { return !(*this == other); }

  operator const char*() const { return bytes.c_str(); }  // NOLINT: host strings convert implicitly
  const char* CastToCharPtr() const { return bytes.c_str(); }

  int Length() const { return static_cast<int>(bytes.size()); }
  int GetLengthInChar() const { return Length(); }

  void Append(const KelString& other) { bytes += other.bytes; }
  // Inserts at a 0-based byte position; a position beyond the end appends.
  void Insert(int position, const KelString& other);
  // Replaces the first occurrence only; returns its position, or -1 when absent.
  int ReplaceSubString(const KelString& oldText, const KelString& newText);

 private:
  std::string bytes;
};

KelString operator+(const char* left, const KelString& right);
