// Status messages, identifiers, short names and system services.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <new>
#include <set>
#include <string>

#include "parts/MKShortName.h"
#include "parts/MKStatus.h"
#include "parts/MKSystemServices.h"
#include "parts/MKUUID.h"

namespace {

std::string Bytes(const KelUnicodeString& text) {
  return text.ConvertToChar().CastToCharPtr();
}

std::string TextOf(const MKUUID& id) {
  KelString text;
  id.ConvertToString(text);
  return text.CastToCharPtr();
}

// The text of `key` in the library's own catalogue file, read directly.
std::string CatalogueText(const std::string& key) {
  std::string path = __FILE__;
  path = path.substr(0, path.rfind('/'));  // tests/parts
  path = path.substr(0, path.rfind('/'));  // tests
  path = path.substr(0, path.rfind('/')) + "/data/LumHumanModeling.msg";
  std::ifstream in(path);
  std::string line;
  const std::string start = key + " = \"";
  while (std::getline(in, line))
    if (line.compare(0, start.size(), start) == 0)
      return line.substr(start.size(), line.rfind("\";") - start.size());
  return {};
}

// Codes are the catalogue's 32-bit numbers; a code the catalogue lacks reads
// as its marked key, a present one as the catalogue's text.
TEST(MKStatusTest, CodesAndMessages) {
  EXPECT_EQ(MKStatus(601).GetCode(), MKStatusPasteKindRefused);
  EXPECT_EQ(static_cast<int>(MKStatusPartTooLarge), 105);
  EXPECT_EQ(static_cast<int>(MKStatusReadingInProgress), 9999);
  EXPECT_EQ(sizeof(MKStatusCode), 4u);
  EXPECT_EQ(MKStatus(MKStatusUserDBContent).code, 102);
  EXPECT_TRUE(MKStatus() == 0 && MKStatus(5) == 5 && MKStatus(5) != 0 && !(MKStatus(5) != 5));
  for (int code : {9999, 123457, -3})
    EXPECT_EQ(Bytes(MKStatus(code).GetUnicodeStatusMessage()),
              "@MKStatusMessage" + std::to_string(code));
  for (int code : {0, 100, 601}) {
    const std::string key = "MKStatusMessage" + std::to_string(code);
    const std::string expected = CatalogueText(key);
    ASSERT_FALSE(expected.empty()) << key;
    EXPECT_EQ(Bytes(MKStatus(code).GetUnicodeStatusMessage()), expected) << key;
  }
}

TEST(MKUUIDTest, SameAddressStillGivesDistinctIdentifiers) {
  alignas(MKUUID) unsigned char storage[sizeof(MKUUID)];
  MKUUID* first = new (storage) MKUUID();
  const std::string a = TextOf(*first);
  first->~MKUUID();
  MKUUID* second = new (storage) MKUUID();
  const std::string b = TextOf(*second);
  second->~MKUUID();

  EXPECT_EQ(a.substr(9, 9), b.substr(9, 9));  // same object address
  EXPECT_NE(a.substr(28), b.substr(28));
  const unsigned long ca = std::strtoul(a.substr(28).c_str(), nullptr, 16);
  const unsigned long cb = std::strtoul(b.substr(28).c_str(), nullptr, 16);
  EXPECT_EQ(cb, (ca + 1) & 0xFFFFFFFFUL);
  EXPECT_FALSE(MKUUID() == MKUUID());
  const MKUUID given("0123abcd-0000-1111-8048-0001000000ff");
  MKUUID other("other");
  EXPECT_EQ(TextOf(given), "0123abcd-0000-1111-8048-0001000000ff");
  EXPECT_FALSE(given == other);
  other = given;
  EXPECT_TRUE(given == other);
}

// A locale whose decimal point is ","; null when the system has none.
const char* CommaLocale() {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  const char* found = nullptr;
  for (const char* name : {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
    if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
      found = name;
      break;
    }
  }
  std::setlocale(LC_ALL, saved.c_str());
  return found;
}

// The decimal-point caches are process-wide and never refreshed, so each
// case runs in a fresh process: the "C" locale, a later change unseen, and a
// locale with a decimal comma when one is installed.
TEST(MKSystemServicesDeathTest, DecimalPoints) {
  const char* comma = CommaLocale();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::setlocale(LC_ALL, "C");
        MKSystemServices::GetDecimalPointToChange();
        if (comma) std::setlocale(LC_ALL, comma);
        const bool ok = Bytes(MKSystemServices::GetSystemDecimalPoint()) == "." &&
                        Bytes(MKSystemServices::GetDecimalPointToChange()) == ",";
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EXIT(
      {
        std::setlocale(LC_ALL, comma);
        const bool ok = Bytes(MKSystemServices::GetSystemDecimalPoint()) == "," &&
                        Bytes(MKSystemServices::GetDecimalPointToChange()) == ".";
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

std::string NameOf(int value) {
  const char* text = MKConvertShortNameToString(static_cast<MKShortName>(value));
  return text ? text : "";
}

// Every named value reads back from its text; the names are distinct, the
// limbs mirror each other and every segment has a skin name "Sk" after its side.
TEST(MKShortNameTest, NamesRoundTripAndFollowTheirRanges) {
  std::set<std::string> names;
  for (int value = -10; value < 6000; ++value) {
    const std::string name = NameOf(value);
    if (name.empty()) continue;
    names.insert(name);
    EXPECT_EQ(MKConvertStringToShortName(name.c_str()), value) << name;
  }
  EXPECT_EQ(names.size(), 310u);
  for (int right = 35; right <= 66; ++right)
    EXPECT_EQ("R" + NameOf(right + 32).substr(1), NameOf(right)) << right;
  for (int left = 1019; left <= 1062; ++left)
    EXPECT_EQ("R" + NameOf(left).substr(1), NameOf(left + 44)) << left;
  for (int value = 0; value <= 98; ++value) {
    std::string name = NameOf(value);
    const std::size_t marker = (name[0] == 'R' || name[0] == 'L') ? 1 : 0;
    ASSERT_EQ(name[marker], 'S') << name;
    EXPECT_EQ(NameOf(value + 4000), name.insert(marker + 1, "k"));
  }
  // The ends of each range and the eyes, as published.
  const std::pair<int, const char*> kPublished[] = {
      {0, "SBoPh"},      {98, "LSHaAu3"},   {1000, "EBoBb"},   {1106, "RELeTKn"},
      {2000, "BoBo"},    {3000, "BoCg"},    {4000, "SkBoPh"},  {4098, "LSkHaAu3"},
      {5000, "LLHeEye"}, {5001, "MLHeEye"}, {5002, "RLHeEye"}, {33, "RSHeEye"}};
  for (const auto& p : kPublished) EXPECT_EQ(NameOf(p.first), p.second);
  static_assert(sizeof(MKShortName) == 4 && RELeTKn == 1106, "the enumeration is 32-bit");
  for (const char* text :
       {"mlheeye", "MLHeEye ", "MLHeEy", " MLHeEye", "", static_cast<const char*>(nullptr)})
    EXPECT_EQ(MKConvertStringToShortName(text), static_cast<MKShortName>(-1));
}

}  // namespace
