#include "host/KelString.h"

KelString::KelString(const char* text) : bytes(text ? text : "") {}

KelString& KelString::operator=(const char* text) {
  bytes = text ? text : "";
  return *this;
}

KelString KelString::operator+(const char* text) const {
  KelString result(*this);
  result += text;
  return result;
}

KelString KelString::operator+(const KelString& other) const {
  KelString result(*this);
  result += other;
  return result;
}

KelString& KelString::operator+=(const char* text) {
  if (text) bytes += text;
  return *this;
}

KelString& KelString::operator+=(const KelString& other) {
  bytes += other.bytes;
  return *this;
}

bool KelString::operator==(const char* text) const {
  return bytes == (text ? text : "");
}

void KelString::Insert(int position, const KelString& other) {
  if (position < 0) position = 0;
  const auto at = static_cast<std::string::size_type>(position);
  bytes.insert(at < bytes.size() ? at : bytes.size(), other.bytes);
}

int KelString::ReplaceSubString(const KelString& oldText, const KelString& newText) {
  if (oldText.bytes.empty()) return -1;
  const auto at = bytes.find(oldText.bytes);
  if (at == std::string::npos) return -1;
  bytes.replace(at, oldText.bytes.size(), newText.bytes);
  return static_cast<int>(at);
}

KelString operator+(const char* left, const KelString& right) {
  return KelString(left) + right;
}
