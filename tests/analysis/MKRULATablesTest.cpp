// The RULA tables: the library's lookups against the published tables of
// tools/rula, and the answers outside their axes.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "MKRULATestSupport.h"
#include "analysis/MKAnalysis.h"

namespace {

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

TEST(MKRULATablesTest, OutsideTheAxesIsMinusOneAndTheOverallScoreClamps) {
  // Each argument in turn at 0, one past its axis and far off.
  const unsigned int a[4] = {6, 3, 4, 2}, b[3] = {6, 6, 2};
  for (unsigned int i = 0; i < 4; ++i)
    for (unsigned int bad : {0u, 1000u, UINT_MAX}) {
      unsigned int k[4] = {1, 1, 1, 1};
      k[i] = bad == 1000u ? a[i] + 1 : bad;
      EXPECT_EQ(MKAnalysis::GetRULAPostureAScore(k[0], k[1], k[2], k[3]), -1) << i << " " << bad;
      if (i == 3) continue;
      k[i] = bad == 1000u ? b[i] + 1 : bad;
      EXPECT_EQ(MKAnalysis::GetRULAPostureBScore(k[0], k[1], k[2]), -1) << i << " " << bad;
    }
  EXPECT_EQ(MKAnalysis::GetRULAOverallScore(0, 1), -1);
  EXPECT_EQ(MKAnalysis::GetRULAOverallScore(1, 0), -1);
  // A wrist-and-arm score of 11 reads as 8, a neck-trunk-leg score of 9 as 7.
  for (unsigned int b = 1; b <= 9; ++b)
    EXPECT_EQ(MKAnalysis::GetRULAOverallScore(11, b), MKAnalysis::GetRULAOverallScore(8, b)) << b;
  for (unsigned int a = 1; a <= 11; ++a)
    EXPECT_EQ(MKAnalysis::GetRULAOverallScore(a, 9), MKAnalysis::GetRULAOverallScore(a, 7)) << a;
  EXPECT_EQ(MKAnalysis::GetRULAOverallScore(UINT_MAX, UINT_MAX), 7);
}
