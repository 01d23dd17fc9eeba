#include "host/KelString.h"

#include <gtest/gtest.h>

#include <string>

#include "host/KelUnicodeString.h"

namespace {

std::string Bytes(const KelUnicodeString& text) {
  return text.ConvertToChar().CastToCharPtr();
}

TEST(KelStringTest, NullPointersGiveTheEmptyString) {
  const char* none = nullptr;
  KelString s(none);
  EXPECT_EQ(s.Length(), 0);
  EXPECT_TRUE(s == "");
  s = "abc";
  s = none;
  EXPECT_EQ(s.Length(), 0);
  s += none;
  EXPECT_EQ(s.Length(), 0);
  EXPECT_EQ(KelUnicodeString(none).GetLengthInChar(), 0);
}

TEST(KelStringTest, ReplaceSubStringReplacesTheFirstOccurrenceOnly) {
  KelString s("a-b-c");
  EXPECT_EQ(s.ReplaceSubString("-", "+"), 1);
  EXPECT_STREQ(s.CastToCharPtr(), "a+b-c");
  EXPECT_EQ(s.ReplaceSubString("-", "+"), 3);
  EXPECT_EQ(s.ReplaceSubString("-", "+"), -1);
  EXPECT_STREQ(s.CastToCharPtr(), "a+b+c");
}

TEST(KelUnicodeStringTest, Utf8RoundTrip) {
  // Two-, three- and four-byte sequences.
  const char* text = "h\xC3\xA9llo \xE2\x82\xAC \xF0\x9D\x84\x9E!";
  const KelUnicodeString u(text);
  EXPECT_EQ(u.GetLengthInChar(), 10);
  EXPECT_EQ(u[1], static_cast<wchar_t>(0xE9));
  EXPECT_EQ(u[6], static_cast<wchar_t>(0x20AC));
  EXPECT_EQ(u[8], static_cast<wchar_t>(0x1D11E));
  EXPECT_EQ(Bytes(u), text);
  EXPECT_TRUE(KelUnicodeString(KelString(text)) == u);

  wchar_t wide[16];
  u.ConvertToWChar(wide);
  EXPECT_EQ(wide[10], L'\0');
  KelUnicodeString back;
  back.BuildFromWChar(wide);
  EXPECT_TRUE(back == u);
}

TEST(KelUnicodeStringTest, ConvertToNumTakesWholeNumbersOnly) {
  int i = -1;
  EXPECT_EQ(KelUnicodeString("123").ConvertToNum(&i, "%d"), 1);
  EXPECT_EQ(i, 123);
  EXPECT_EQ(KelUnicodeString(" -7 ").ConvertToNum(&i, "%d"), 1);
  EXPECT_EQ(i, -7);

  for (const char* bad : {"", "abc", "12abc", "1 2", "-", "0x"}) {
    int untouched = 99;
    EXPECT_EQ(KelUnicodeString(bad).ConvertToNum(&untouched, "%d"), 0) << bad;
    EXPECT_EQ(untouched, 99) << bad;
  }

  double d = 0;
  EXPECT_EQ(KelUnicodeString("1.5e+01").ConvertToNum(&d, "%le"), 1);
  EXPECT_DOUBLE_EQ(d, 15.0);
  for (const char* bad : {"", "x1.0", "2.5cm", "nope"}) {
    double untouched = 3.0;
    EXPECT_EQ(KelUnicodeString(bad).ConvertToNum(&untouched, "%le"), 0) << bad;
    EXPECT_EQ(untouched, 3.0) << bad;
  }
}

}  // namespace
