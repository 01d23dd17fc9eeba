#include "parts/MKShortName.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

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
