#include "host/KelRawColl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Items(const KelRawCollint& list) {
  std::vector<int> out;
  for (int i = 1; i <= list.Size(); ++i) out.push_back(list[i]);
  return out;
}

TEST(KelRawCollTest, IndexedFromOne) {
  KelRawCollint list(4);
  EXPECT_EQ(list.Size(), 0);
  list.Append(10);
  list.Append(20);
  list.Append(30);
  EXPECT_EQ(list[1], 10);
  EXPECT_EQ(list[3], 30);
  list[2] = 21;
  EXPECT_EQ(Items(list), (std::vector<int>{10, 21, 30}));
}

TEST(KelRawCollTest, OutOfRangeAccessIsHarmless) {
  KelRawCollint list;
  list.Append(5);
  EXPECT_EQ(list[0], 0);
  EXPECT_EQ(list[2], 0);
  EXPECT_EQ(list[-100], 0);
  list[0] = 7;  // writes nowhere that matters
  list[2] = 7;
  EXPECT_EQ(list[0], 0);
  EXPECT_EQ(Items(list), std::vector<int>{5});

  const KelRawCollPV pointers;
  EXPECT_EQ(pointers[1], nullptr);
}

TEST(KelRawCollTest, InsertAtTakesThePosition) {
  KelRawCollint list;
  list.Append(2);
  list.Append(4);
  EXPECT_TRUE(list.InsertAt(1, 1));
  EXPECT_TRUE(list.InsertAt(3, 3));
  EXPECT_TRUE(list.InsertAt(5, 5));  // one past the end appends
  EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_FALSE(list.InsertAt(0, 9));
  EXPECT_FALSE(list.InsertAt(7, 9));
  EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(KelRawCollTest, LocateAndRemovePosition) {
  KelRawCollint list;
  for (int v : {7, 8, 7, 9}) list.Append(v);
  EXPECT_EQ(list.Locate(7, 1), 1);
  EXPECT_EQ(list.Locate(7, 2), 3);
  EXPECT_EQ(list.Locate(7, 4), 0);
  EXPECT_EQ(list.Locate(9, 1), 4);
  EXPECT_EQ(list.Locate(6, 1), 0);
  EXPECT_EQ(list.Locate(7, 10), 0);

  EXPECT_TRUE(list.RemovePosition(1));
  EXPECT_EQ(Items(list), (std::vector<int>{8, 7, 9}));
  EXPECT_FALSE(list.RemovePosition(0));
  EXPECT_FALSE(list.RemovePosition(4));
  EXPECT_EQ(Items(list), (std::vector<int>{8, 7, 9}));
  EXPECT_TRUE(list.RemovePosition(3));
  EXPECT_EQ(Items(list), (std::vector<int>{8, 7}));
}

TEST(KelRawCollTest, RemoveAllNeverDeletesThePointees) {
  int* owned = new int(42);
  KelRawCollPV list;
  list.Append(owned);
  list.RemoveAll(KelCollec::FreeMemory);
  EXPECT_EQ(list.Size(), 0);
  EXPECT_EQ(*owned, 42);  // still ours (a sanitizer catches a double delete below)
  delete owned;
}

TEST(KelRawCollTest, DoubleListsResize) {
  KelRawColldouble values;
  values.Size(3);
  EXPECT_EQ(values.Size(), 3);
  EXPECT_EQ(values[3], 0.0);
  values[2] = 1.5;
  values.Size(2);
  EXPECT_EQ(values.Size(), 2);
  EXPECT_EQ(values[2], 1.5);
  values.Size(0);
  EXPECT_EQ(values.Size(), 0);
}

}  // namespace
