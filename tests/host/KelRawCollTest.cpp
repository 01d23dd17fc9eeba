#include "host/KelRawColl.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<int> Items(const KelRawCollint& list) {
  std::vector<int> out;
  for (int i = 1; i <= list.Size(); ++i) out.push_back(list[i]);
  return out;
}

// Random edits against a vector: positions count from one, a position out of
// range is refused (insertion may take one past the end), reads out of range
// give 0 and writes there change nothing, Size(n) resizes with zeros.
TEST(KelRawCollTest, BehavesAsAOneBasedVector) {
  std::mt19937 random(11);
  KelRawCollint list(4);
  std::vector<int> model;
  for (int step = 0; step < 4000; ++step) {
    const int size = static_cast<int>(model.size());
    const int at = static_cast<int>(random() % (size + 5)) - 2;  // [-2, size + 2]
    const bool inside = at >= 1 && at <= size;
    const int value = static_cast<int>(random() % 6);
    switch (random() % 7) {
      case 0:
        EXPECT_EQ(list.Append(value), size + 1);
        model.push_back(value);
        break;
      case 1:
        EXPECT_EQ(list.InsertAt(at, value), at >= 1 && at <= size + 1);
        if (at >= 1 && at <= size + 1) model.insert(model.begin() + (at - 1), value);
        break;
      case 2:
        EXPECT_EQ(list.RemovePosition(at), inside);
        if (inside) model.erase(model.begin() + (at - 1));
        break;
      case 3: {
        int expected = 0;
        for (int i = at < 1 ? 1 : at; i <= size && !expected; ++i)
          if (model[static_cast<std::size_t>(i - 1)] == value) expected = i;
        EXPECT_EQ(list.Locate(value, at), expected);
        break;
      }
      case 4:
        list[at] = value + 10;
        if (inside) model[static_cast<std::size_t>(at - 1)] = value + 10;
        EXPECT_EQ(list[at], inside ? value + 10 : 0);
        break;
      case 5:
        if (random() % 8 == 0) {
          list.Size(at);
          model.resize(at > 0 ? static_cast<std::size_t>(at) : 0);
        }
        break;
      default:
        EXPECT_EQ(list[at], inside ? model[static_cast<std::size_t>(at - 1)] : 0);
        break;
    }
    ASSERT_EQ(list.Size(), static_cast<int>(model.size())) << step;
    ASSERT_EQ(Items(list), model) << step;
  }
  const KelRawCollPV pointers;
  EXPECT_EQ(pointers[1], nullptr);
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

}  // namespace
