#include "host/KelStreamDefinition.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(KelStreamDefinitionTest, CopiesTheCallersBuffer) {
  char* buffer = new char[3]{'a', 'b', 'c'};
  KelStreamDefinition stream(buffer, 3);
  buffer[0] = 'z';
  delete[] buffer;
  char c = 0;
  ASSERT_TRUE(stream.ReadChar(&c));
  EXPECT_EQ(c, 'a');
  EXPECT_EQ(stream.GetCurrentPosition(), 1);
}

TEST(KelStreamDefinitionTest, MultiByteReadsAreBigEndian) {
  const unsigned char bytes[] = {0x12, 0x34, 0x00, 0xE9, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0,  // 1.5
                                 0xC0, 0x00, 0,    0,    0,    0,    0, 0};             // -2.0
  KelStreamDefinition stream(bytes, sizeof bytes);
  unsigned short u = 0;
  ASSERT_TRUE(stream.ReadUnsignedShort(&u));
  EXPECT_EQ(u, 0x1234);
  ASSERT_TRUE(stream.ReadUnsignedShort(&u));
  EXPECT_EQ(u, 0x00E9);
  double d = 0;
  ASSERT_TRUE(stream.ReadDouble(&d));
  EXPECT_EQ(d, 1.5);
  ASSERT_TRUE(stream.ReadDouble(&d));
  EXPECT_EQ(d, -2.0);
  EXPECT_EQ(stream.GetCurrentPosition(), 20);
}

TEST(KelStreamDefinitionTest, ReadsPastTheEndFailCleanly) {
  const char bytes[] = {1, 2, 3};
  KelStreamDefinition stream(bytes, sizeof bytes);
  ASSERT_TRUE(stream.Advance(2));
  unsigned short u = 0xBEEF;
  EXPECT_FALSE(stream.ReadUnsignedShort(&u));
  EXPECT_EQ(u, 0xBEEF);
  double d = 4.25;
  EXPECT_FALSE(stream.ReadDouble(&d));
  EXPECT_EQ(d, 4.25);
  EXPECT_EQ(stream.GetCurrentPosition(), 2);
  char c = 0;
  EXPECT_TRUE(stream.ReadChar(&c));
  EXPECT_EQ(c, 3);
  EXPECT_FALSE(stream.ReadChar(&c));
  EXPECT_EQ(stream.GetCurrentPosition(), 3);

  KelStreamDefinition empty(nullptr, 0);
  EXPECT_FALSE(empty.ReadChar(&c));
  EXPECT_EQ(empty.GetCurrentPosition(), 0);
}

TEST(KelStreamDefinitionTest, AdvanceStaysWithinTheStream) {
  const char bytes[8] = {};
  KelStreamDefinition stream(bytes, sizeof bytes);
  EXPECT_TRUE(stream.Advance(5));
  EXPECT_TRUE(stream.Advance(-3));
  EXPECT_EQ(stream.GetCurrentPosition(), 2);
  EXPECT_FALSE(stream.Advance(-3));
  EXPECT_EQ(stream.GetCurrentPosition(), 2);
  EXPECT_FALSE(stream.Advance(7));
  EXPECT_EQ(stream.GetCurrentPosition(), 2);
  EXPECT_TRUE(stream.Advance(6));  // exactly to the end
  EXPECT_EQ(stream.GetCurrentPosition(), 8);
  EXPECT_FALSE(stream.Advance(1));
  EXPECT_FALSE(stream.Advance(0x7FFFFFFFL));
  stream.Reset();
  EXPECT_EQ(stream.GetCurrentPosition(), 0);
  EXPECT_FALSE(stream.Advance(-1));

  // Extreme distances are refused like any other, without overflowing.
  ASSERT_TRUE(stream.Advance(2));
  EXPECT_FALSE(stream.Advance(std::numeric_limits<long>::max()));
  EXPECT_FALSE(stream.Advance(std::numeric_limits<long>::min()));
  EXPECT_EQ(stream.GetCurrentPosition(), 2);
  EXPECT_TRUE(stream.Advance(-2));  // exactly back to the start
  EXPECT_EQ(stream.GetCurrentPosition(), 0);
}

}  // namespace
