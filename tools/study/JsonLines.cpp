#include "JsonLines.h"

#include <cctype>

namespace mkstudy {
namespace {

// Walks a text that a JSON parser has accepted; stops quietly at anything else.
class Scanner {
 public:
  Scanner(const std::string& text, std::map<std::string, int>& lines) : text(text), lines(lines) {}

  void Value(const std::string& pointer, int depth) {
    Space();
    if (at >= text.size() || depth > 64) return;
    lines[pointer] = line;
    const char c = text[at];
    if (c == '{') {
      ++at;
      for (Space(); at < text.size() && text[at] != '}'; Space()) {
        if (text[at] == ',') {
          ++at;
          continue;
        }
        const std::string key = String();
        Space();
        if (at < text.size() && text[at] == ':') ++at;
        Value(pointer + "/" + Escape(key), depth + 1);
      }
      ++at;
    } else if (c == '[') {
      ++at;
      int index = 0;
      for (Space(); at < text.size() && text[at] != ']'; Space()) {
        if (text[at] == ',') {
          ++at;
          continue;
        }
        Value(pointer + "/" + std::to_string(index++), depth + 1);
      }
      ++at;
    } else if (c == '"') {
      String();
    } else {
      while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])) &&
             text[at] != ',' && text[at] != '}' && text[at] != ']')
        ++at;
    }
  }

 private:
  void Space() {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
      if (text[at] == '\n') ++line;
      ++at;
    }
  }

  // The raw characters of a string (escapes kept but skipped over correctly).
  std::string String() {
    std::string s;
    if (at >= text.size() || text[at] != '"') return s;
    for (++at; at < text.size() && text[at] != '"'; ++at) {
      if (text[at] == '\\' && at + 1 < text.size()) s += text[at++];
      s += text[at];
    }
    ++at;
    return s;
  }

  // A key as a JSON pointer token.
  static std::string Escape(const std::string& key) {
    std::string token;
    for (char c : key) token += c == '~' ? "~0" : c == '/' ? "~1" : std::string(1, c);
    return token;
  }

  const std::string& text;
  std::map<std::string, int>& lines;
  std::size_t at = 0;
  int line = 1;
};

}  // namespace

std::map<std::string, int> JsonValueLines(const std::string& json) {
  std::map<std::string, int> lines;
  Scanner(json, lines).Value("", 0);
  return lines;
}

}  // namespace mkstudy
