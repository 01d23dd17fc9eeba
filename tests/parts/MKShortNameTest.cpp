#include "parts/MKShortName.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const MKShortName kNone = static_cast<MKShortName>(-1);

std::string NameOf(int value) {
  const char* text = MKConvertShortNameToString(static_cast<MKShortName>(value));
  return text ? text : "";
}

// Index of the kind marker in a segment or ellipse name: after the side letter, if any.
std::size_t MarkerIndex(const std::string& name) {
  return (name[0] == 'R' || name[0] == 'L') ? 1 : 0;
}

TEST(MKShortNameTest, ValuesOutsideTheRangesHaveNoName) {
  for (int value : {-1, 99, 999, 1107, 1999, 2001, 3001, 3999, 4099, 5003, 6000, 99999}) {
    EXPECT_EQ(MKConvertShortNameToString(static_cast<MKShortName>(value)), nullptr) << value;
  }
}

TEST(MKShortNameTest, StringLookupIsExactAndCaseSensitive) {
  EXPECT_EQ(MKConvertStringToShortName("MLHeEye"), 5001);
  for (const char* text :
       {"mlheeye", "MLHeEye ", "MLHeEy", " MLHeEye", "", static_cast<const char*>(nullptr)})
    EXPECT_EQ(MKConvertStringToShortName(text), kNone) << (text ? text : "null");
}

TEST(MKShortNameTest, EnumeratorsValuesAndTextsAgree) {
  struct Expected {
    MKShortName name;
    int value;
    const char* text;
  };
  // The first and last of each range, and the eyes' names.
  const Expected kExpected[] = {
      {SBoPh, 0, "SBoPh"},        {LSHaAu3, 98, "LSHaAu3"},     {EBoBb, 1000, "EBoBb"},
      {RELeTKn, 1106, "RELeTKn"}, {BoBo, 2000, "BoBo"},         {BoCg, 3000, "BoCg"},
      {SkBoPh, 4000, "SkBoPh"},   {LSkHaAu3, 4098, "LSkHaAu3"}, {LLHeEye, 5000, "LLHeEye"},
      {MLHeEye, 5001, "MLHeEye"}, {RLHeEye, 5002, "RLHeEye"},   {RSHeEye, 33, "RSHeEye"},
  };
  for (const Expected& e : kExpected) {
    EXPECT_EQ(static_cast<int>(e.name), e.value) << e.text;
    EXPECT_EQ(NameOf(e.value), e.text);
    EXPECT_EQ(MKConvertStringToShortName(e.text), e.value) << e.text;
  }
  static_assert(sizeof(MKShortName) == 4, "the enumeration is 32-bit");
}

TEST(MKShortNameTest, AllNamesRoundTripAndAreDistinct) {
  std::set<std::string> names;
  int count = 0;
  for (int value = -10; value < 6000; ++value) {
    const std::string name = NameOf(value);
    if (name.empty()) continue;
    ++count;
    names.insert(name);
    EXPECT_EQ(MKConvertStringToShortName(name.c_str()), value) << name;
  }
  EXPECT_EQ(count, 310);
  EXPECT_EQ(names.size(), 310u);
}

TEST(MKShortNameTest, LimbRangesMirrorEachOther) {
  for (int right = 35; right <= 66; ++right) {
    const std::string r = NameOf(right), l = NameOf(right + 32);
    ASSERT_EQ(r.substr(0, 2), "RS") << right;
    ASSERT_EQ(l.substr(0, 2), "LS") << right + 32;
    EXPECT_EQ(r.substr(1), l.substr(1));
  }
  for (int left = 1019; left <= 1062; ++left) {
    const std::string l = NameOf(left), r = NameOf(left + 44);
    ASSERT_EQ(l.substr(0, 2), "LE") << left;
    ASSERT_EQ(r.substr(0, 2), "RE") << left + 44;
    EXPECT_EQ(l.substr(1), r.substr(1));
  }
  for (int midline = 1000; midline <= 1018; ++midline) EXPECT_EQ(NameOf(midline)[0], 'E');
}

TEST(MKShortNameTest, SkinNamesAreSegmentNamesWithSkMarker) {
  for (int value = 0; value <= 98; ++value) {
    std::string name = NameOf(value);
    const std::size_t marker = MarkerIndex(name);
    ASSERT_EQ(name[marker], 'S') << name;
    name.insert(marker + 1, "k");
    EXPECT_EQ(NameOf(value + 4000), name);
  }
}

}  // namespace
