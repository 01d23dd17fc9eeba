#include "host/KelUnicodeString.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::wstring DecodeUtf8(const char* text) {
  std::wstring out;
  if (!text) return out;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    const unsigned char b = *p;
    int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
    if (b >= 0xF8) extra = 0;
    wchar_t code = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool valid = b < 0x80 || extra > 0;
    for (int i = 1; valid && i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80)
        valid = false;
      else
        code = static_cast<wchar_t>((code << 6) | (p[i] & 0x3F));
    }
    if (!valid) {  // a stray byte stands for itself
      out.push_back(b);
      ++p;
      continue;
    }
    out.push_back(code);
    p += 1 + extra;
  }
  return out;
}

void EncodeUtf8(wchar_t c, std::string& out) {
  const auto code = static_cast<unsigned long>(c);
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | ((code >> 18) & 0x07)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The one conversion of a format: its letters after '%', flags, width and
// length modifiers skipped. Empty when the format has none or more than one.
std::string SingleConversion(const char* format) {
  if (!format) return {};
  std::string conversion;
  int count = 0;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') continue;
    if (p[1] == '%') {
      ++p;
      continue;
    }
    ++p;
    while (*p && std::strchr("-+ #0123456789.", *p)) ++p;
    std::string spec;
    while (*p && std::strchr("hlLqjzt", *p)) spec.push_back(*p++);
    if (!*p) return {};
    spec.push_back(*p);
    conversion = spec;
    ++count;
  }
  return count == 1 ? conversion : std::string();
}

bool IsIntegerConversion(const std::string& c) {
  return c == "d" || c == "i" || c == "u" || c == "x" || c == "X" || c == "o";
}

template <typename T>
int Parse(const std::string& text, const char* format, T* value) {
  std::string withEnd = std::string(format) + "%n";
  T parsed{};
  int consumed = -1;
  if (std::sscanf(text.c_str(), withEnd.c_str(), &parsed, &consumed) != 1 || consumed < 0) return 0;
  for (std::size_t i = static_cast<std::size_t>(consumed); i < text.size(); ++i)
    if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n') return 0;
  *value = parsed;
  return 1;
}

}  // namespace

KelUnicodeString::KelUnicodeString(const char* text) : chars(DecodeUtf8(text)) {}
KelUnicodeString::KelUnicodeString(const KelString& text) : chars(DecodeUtf8(text)) {}
KelUnicodeString::KelUnicodeString(KelUnicodeChar c, int count)
    : chars(count > 0 ? static_cast<std::size_t>(count) : 0, c.GetCode()) {}

KelUnicodeString& KelUnicodeString::operator=(const char* text) {
  chars = DecodeUtf8(text);
  return *this;
}

KelUnicodeString KelUnicodeString::operator+(const KelUnicodeString& other) const {
  KelUnicodeString result(*this);
  result.chars += other.chars;
  return result;
}

KelUnicodeString& KelUnicodeString::operator+=(const KelUnicodeString& other) {
  chars += other.chars;
  return *this;
}

KelUnicodeString operator+(const char* left, const KelUnicodeString& right) {
  return KelUnicodeString(left) + right;
}

KelString KelUnicodeString::ConvertToChar() const {
  std::string out;
  for (wchar_t c : chars) EncodeUtf8(c, out);
  return KelString(out.c_str());
}

KelUnicodeString KelUnicodeString::SubString(int start, int count) const {
  KelUnicodeString result;
  if (start < 0) start = 0;
  if (count <= 0 || start >= GetLengthInChar()) return result;
  result.chars = chars.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
  return result;
}

int KelUnicodeString::ReplaceAll(const KelUnicodeString& oldText, const KelUnicodeString& newText) {
  if (oldText.chars.empty()) return 0;
  int count = 0;
  std::size_t at = 0;
  while ((at = chars.find(oldText.chars, at)) != std::wstring::npos) {
    chars.replace(at, oldText.chars.size(), newText.chars);
    at += newText.chars.size();
    ++count;
  }
  return count;
}

int KelUnicodeString::SearchSubString(const KelUnicodeString& text, int start,
                                      SearchMode mode) const {
  if (start < 0 || start > GetLengthInChar()) return -1;
  const auto from = static_cast<std::size_t>(start);
  const auto at = mode == Forward ? chars.find(text.chars, from) : chars.rfind(text.chars, from);
  return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int KelUnicodeString::BuildFromNum(int value, const char* format) {
  if (!IsIntegerConversion(SingleConversion(format))) return -1;
  char buffer[64];
  if (std::snprintf(buffer, sizeof buffer, format, value) < 0) return -1;
  *this = buffer;
  return 0;
}

int KelUnicodeString::BuildFromNum(unsigned int value, const char* format) {
  if (!IsIntegerConversion(SingleConversion(format))) return -1;
  char buffer[64];
  if (std::snprintf(buffer, sizeof buffer, format, value) < 0) return -1;
  *this = buffer;
  return 0;
}

int KelUnicodeString::ConvertToNum(int* value, const char* format) const {
  const std::string c = SingleConversion(format);
  if (!value || !(c == "d" || c == "i")) return 0;
  return Parse(std::string(ConvertToChar()), format, value);
}

int KelUnicodeString::ConvertToNum(double* value, const char* format) const {
  const std::string c = SingleConversion(format);
  if (!value || !(c == "le" || c == "lf" || c == "lg")) return 0;
  return Parse(std::string(ConvertToChar()), format, value);
}

void KelUnicodeString::ConvertToWChar(wchar_t* buffer) const {
  if (!buffer) return;
  std::copy(chars.begin(), chars.end(), buffer);
  buffer[chars.size()] = 0;
}

void KelUnicodeString::BuildFromWChar(const wchar_t* text) {
  chars = text ? text : L"";
}

wchar_t KelUnicodeString::operator[](int i) const {
  return i >= 0 && i < GetLengthInChar() ? chars[static_cast<std::size_t>(i)] : 0;
}
