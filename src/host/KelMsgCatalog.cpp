#include "host/KelMsgCatalog.h"

#include <fstream>
#include <map>
#include <mutex>
#include <string>

#include "host/KelDataPath.h"
#include "host/detail/KelMsgCatalogText.h"

namespace {

using Texts = std::map<std::string, std::string>;

// Parses `Key = "Text";`; false for anything else.
bool ParseEntry(const std::string& line, std::string& key, std::string& text) {
  const auto equals = line.find('=');
  if (equals == std::string::npos) return false;
  const auto keyBegin = line.find_first_not_of(" \t");
  auto keyEnd = line.find_last_not_of(" \t", equals - 1);
  if (keyBegin >= equals || keyEnd == std::string::npos) return false;
  key = line.substr(keyBegin, keyEnd - keyBegin + 1);
  auto p = line.find('"', equals);
  if (p == std::string::npos) return false;
  text.clear();
  for (++p; p < line.size(); ++p) {
    const char c = line[p];
    if (c == '"') return line.find(';', p) != std::string::npos;
    if (c != '\\' || p + 1 >= line.size()) {
      text.push_back(c);
      continue;
    }
    const char e = line[++p];
    text.push_back(e == 'n' ? '\n' : e == 't' ? '\t' : e);
  }
  return false;  // unterminated text
}

Texts Load(const std::string& catalogue) {
  const KelUnicodeString path = KelFindDataFile((catalogue + ".msg").c_str());
  if (path.GetLengthInChar() == 0) return Texts();
  std::ifstream in(static_cast<const char*>(path.ConvertToChar()));
  return KelReadMsgCatalog(in);
}

// Catalogues are read on first use by any thread. A map's elements stay in
// place when others are added, so the texts handed out need no lock.
const Texts& Catalogue(const std::string& name) {
  static std::mutex mutex;
  static std::map<std::string, Texts> catalogues;
  const std::lock_guard<std::mutex> lock(mutex);
  auto found = catalogues.find(name);
  if (found == catalogues.end()) found = catalogues.emplace(name, Load(name)).first;
  return found->second;
}

}  // namespace

std::map<std::string, std::string> KelReadMsgCatalog(std::istream& in) {
  Texts texts;
  std::string line, key, text;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (ParseEntry(line, key, text)) texts[key] = text;
  }
  return texts;
}

KelUnicodeString KelSubstituteMsgParameters(const std::string& text,
                                            const KelUnicodeString* parameters, int count) {
  KelUnicodeString message(text.c_str());
  // Highest first, so that /P1 does not eat the start of /P10.
  for (int i = count; parameters && i >= 1; --i) {
    KelUnicodeString marker;
    marker.BuildFromNum(i, "/P%d");
    message.ReplaceAll(marker, parameters[i - 1]);
  }
  return message;
}

KelUnicodeString KelMsgCatalog::BuildMessage(const KelString& catalogue, const KelString& key,
                                             const KelUnicodeString* parameters, int count,
                                             const KelUnicodeString& defaultText) {
  const Texts& texts = Catalogue(catalogue.CastToCharPtr());
  const auto found = texts.find(key.CastToCharPtr());
  if (found == texts.end()) return defaultText;
  return KelSubstituteMsgParameters(found->second, parameters, count);
}
