// The RULA tables: the library's lookups against the published tables of
// tools/rula, their properties, and the answers outside their axes.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "MKRULATestSupport.h"
#include "analysis/MKAnalysis.h"

namespace {

using mkrulatest::Table;
using mkrulatest::Tables;

// Every key of a table of these axis sizes, in array order.
std::vector<std::vector<int>> Keys(const std::vector<int>& sizes) {
  std::vector<std::vector<int>> keys{{}};
  for (int size : sizes) {
    std::vector<std::vector<int>> longer;
    for (const auto& key : keys)
      for (int i = 1; i <= size; ++i) {
        longer.push_back(key);
        longer.back().push_back(i);
      }
    keys = longer;
  }
  return keys;
}

// Non-decreasing along every axis: raising one index never lowers the score.
void ExpectMonotone(const Table& table, const char* name) {
  for (const auto& [key, score] : table)
    for (std::size_t axis = 0; axis < key.size(); ++axis) {
      std::vector<int> next = key;
      ++next[axis];
      const auto found = table.find(next);
      if (found != table.end()) {
        EXPECT_LE(score, found->second) << name << " axis " << axis << " at key index " << key[0];
      }
    }
}

}  // namespace

TEST(MKRULATablesTest, LookupsAreThePublishedTables) {
  const Tables published;
  ASSERT_EQ(published.a.size(), 144u);
  ASSERT_EQ(published.b.size(), 72u);
  ASSERT_EQ(published.c.size(), 56u);
  for (const auto& k : Keys({6, 3, 4, 2}))
    EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(k[0], k[1], k[2], k[3]), published.a.at(k))
        << k[0] << k[1] << k[2] << k[3];
  for (const auto& k : Keys({6, 6, 2}))
    EXPECT_EQ(MKAnalysis::GetRULAPostureBScore(k[0], k[1], k[2]), published.b.at(k))
        << k[0] << k[1] << k[2];
  for (const auto& k : Keys({8, 7}))
    EXPECT_EQ(MKAnalysis::GetRULAOverallScore(k[0], k[1]), published.c.at(k)) << k[0] << k[1];
}

TEST(MKRULATablesTest, PublishedPropertiesHold) {
  const Tables published;
  ExpectMonotone(published.a, "A");
  ExpectMonotone(published.b, "B");
  ExpectMonotone(published.c, "C");
  // The paper: a grand score of 1 or 2 only when both scores are 2 or less.
  for (const auto& [key, score] : published.c)
    if (score <= 2) {
      EXPECT_TRUE(key[0] <= 2 && key[1] <= 2) << key[0] << "," << key[1];
    }
}

TEST(MKRULATablesTest, OutsideTheAxesIsMinusOneAndTheOverallScoreClamps) {
  // Each argument in turn just outside its axis (0 and one past the end), and far off.
  const unsigned int far = UINT_MAX;
  for (unsigned int bad : {0u, far}) {
    EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(bad, 1, 1, 1), -1);
    EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(1, bad, 1, 1), -1);
    EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(1, 1, bad, 1), -1);
    EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(1, 1, 1, bad), -1);
    EXPECT_EQ(MKAnalysis::GetRULAPostureBScore(bad, 1, 1), -1);
    EXPECT_EQ(MKAnalysis::GetRULAPostureBScore(1, bad, 1), -1);
    EXPECT_EQ(MKAnalysis::GetRULAPostureBScore(1, 1, bad), -1);
  }
  EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(7, 1, 1, 1), -1);
  EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(6, 4, 1, 1), -1);
  EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(6, 3, 5, 1), -1);
  EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(6, 3, 4, 3), -1);
  EXPECT_EQ(MKAnalysis::GetRULAPostureBScore(7, 1, 1), -1);
  EXPECT_EQ(MKAnalysis::GetRULAPostureBScore(6, 7, 1), -1);
  EXPECT_EQ(MKAnalysis::GetRULAPostureBScore(6, 6, 3), -1);
  EXPECT_EQ(MKAnalysis::GetRULAOverallScore(0, 1), -1);
  EXPECT_EQ(MKAnalysis::GetRULAOverallScore(1, 0), -1);
  // A wrist-and-arm score of 11 reads as 8, a neck-trunk-leg score of 9 as 7.
  for (unsigned int b = 1; b <= 9; ++b)
    EXPECT_EQ(MKAnalysis::GetRULAOverallScore(11, b), MKAnalysis::GetRULAOverallScore(8, b)) << b;
  for (unsigned int a = 1; a <= 11; ++a)
    EXPECT_EQ(MKAnalysis::GetRULAOverallScore(a, 9), MKAnalysis::GetRULAOverallScore(a, 7)) << a;
  EXPECT_EQ(MKAnalysis::GetRULAOverallScore(far, far), 7);
}
