// The pieces of mkmanikin that can go wrong quietly: the skin mesh and the
// reading of numbers.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "Numbers.h"
#include "SkinMesh.h"
#include "TriangleMesh.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "manikin/MKManikinTestSupport.h"

using mkcli::Vec3;

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

TEST(SkinMesh, SpansTheManikinWithItsFaceMarked) {
  const mktest::Manikin manikin = mktest::Make(1, 95);
  const mkcli::TriangleMesh mesh = mkcli::BuildSkinMesh(*manikin);
  // In world space: the skin tops out at the head's top and is as wide left as right.
  Vec3 low, high;
  ASSERT_TRUE(mesh.Bounds(low, high));
  EXPECT_NEAR(high.y, manikin->GetBody()->GetSegment(SHeTo)->GetEndPosition()(1), 2.0);
  EXPECT_NEAR(high.x, -low.x, 0.5);
  bool lips = false, pupils = false;
  for (const auto& t : mesh.Triangles()) {
    lips = lips || t.surface == mkcli::Surface::Lips;
    pupils = pupils || t.surface == mkcli::Surface::Pupils;
  }
  EXPECT_TRUE(lips && pupils);
  // The head's normals point out of it.
  std::size_t head = 0;
  while (head < mesh.GroupNames().size() && mesh.GroupNames()[head] != "head") ++head;
  ASSERT_LT(head, mesh.GroupNames().size());
  ASSERT_EQ(mesh.Normals().size(), mesh.Positions().size());
  Vec3 centre;
  std::size_t corners = 0, outward = 0;
  for (const auto& t : mesh.Triangles())
    if (t.group == head)
      for (std::uint32_t v : t.v) centre += mesh.Positions()[v], ++corners;
  centre = centre * (1.0 / corners);
  for (const auto& t : mesh.Triangles())
    if (t.group == head)
      for (std::uint32_t v : t.v)
        outward += mkcli::Dot(mesh.Normals()[v], mesh.Positions()[v] - centre) > 0.0 ? 1 : 0;
  EXPECT_GT(outward, 0.95 * corners);
}
