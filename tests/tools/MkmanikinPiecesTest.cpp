// The reading and writing of numbers by mkmanikin, whatever the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "Numbers.h"

TEST(Numbers, WholeDecimalNumbersOnlyWhateverTheLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  const bool comma = std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr;
  double value = 0.0;
  EXPECT_TRUE(mkcli::ParseNumber("2.5", value));
  EXPECT_EQ(value, 2.5);
  EXPECT_TRUE(mkcli::ParseNumber("+1e2", value));
  EXPECT_EQ(value, 100.0);
  for (const char* bad : {"", "2,5", "abc", "5x", "nan", "inf", "1e999", " 5", "0x10"})
    EXPECT_FALSE(mkcli::ParseNumber(bad, value)) << bad;
  EXPECT_EQ(mkcli::FixedText(-0.001, 2), "0.00");
  EXPECT_EQ(mkcli::ShortestText(175.58), "175.58");
  std::setlocale(LC_ALL, saved.c_str());
  if (!comma) GTEST_SKIP() << "no decimal-comma locale to try";
}
