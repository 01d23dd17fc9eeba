// The pieces of mkmanikin that can go wrong quietly: the mesh operations,
// the renderer, the file writers and the reading of numbers.
#include <gtest/gtest.h>

#include <png.h>

#include <clocale>
#include <cstring>
#include <filesystem>
#include <string>

#include "Numbers.h"
#include "ObjWriter.h"
#include "OutputFiles.h"
#include "PngWriter.h"
#include "Renderer.h"
#include "SkinMesh.h"
#include "ToolRunner.h"
#include "TriangleMesh.h"
#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

using mkcli::Vec3;

// A closed square tube along Y from y = 0 to y = 1, its corners given twice
// (as two rings per level would), with a collapsed triangle.
mkcli::TriangleMesh Tube() {
  mkcli::TriangleMesh mesh;
  const Vec3 corners[4] = {{1, 0, 1}, {-1, 0, 1}, {-1, 0, -1}, {1, 0, -1}};
  std::uint32_t low[4], high[4], lowAgain[4];
  for (int k = 0; k < 4; ++k) {
    low[k] = mesh.AddVertex(corners[k]);
    lowAgain[k] = mesh.AddVertex(corners[k]);
    high[k] = mesh.AddVertex(corners[k] + Vec3{0, 1, 0});
  }
  mesh.BeginGroup("tube");
  for (int k = 0; k < 4; ++k) {
    const int next = (k + 1) % 4;
    // Alternate copies of the lower ring: welding makes them one.
    mesh.AddTriangle(k % 2 ? low[k] : lowAgain[k], high[next], high[k], mkcli::Surface::Skin);
    mesh.AddTriangle(k % 2 ? low[k] : lowAgain[k], low[next], high[next], mkcli::Surface::Skin);
  }
  mesh.AddVertex({5, 5, 5});  // used by nothing
  return mesh;
}

TEST(TriangleMesh, WeldMergesCopiesAndDropsWhatIsUnused) {
  mkcli::TriangleMesh mesh = Tube();
  const std::size_t triangles = mesh.TriangleCount();
  mesh.Weld(1e-4);
  EXPECT_EQ(mesh.Positions().size(), 8u);
  EXPECT_EQ(mesh.TriangleCount(), triangles);
  // Two corners of one triangle welded together: it has no area left.
  mkcli::TriangleMesh sliver;
  const auto a = sliver.AddVertex({0, 0, 0}), b = sliver.AddVertex({1, 0, 0}),
             c = sliver.AddVertex({1, 1, 0}), d = sliver.AddVertex({1.00001, 1, 0});
  sliver.AddTriangle(a, b, c, mkcli::Surface::Skin);
  sliver.AddTriangle(b, c, d, mkcli::Surface::Skin);
  sliver.Weld(1e-3);
  EXPECT_EQ(sliver.TriangleCount(), 1u);
  EXPECT_EQ(sliver.Positions().size(), 3u);
}

TEST(TriangleMesh, OrientedPatchGivesOutwardNormals) {
  mkcli::TriangleMesh mesh = Tube();
  // The tube's triangles were given inward; the patch turns them all.
  mesh.OrientPatch(0, [](const Vec3& p) { return Vec3{p.x, 0, p.z}; });
  mesh.Weld(1e-4);
  mesh.ComputeNormals();
  ASSERT_EQ(mesh.Normals().size(), mesh.Positions().size());
  for (std::size_t i = 0; i < mesh.Positions().size(); ++i) {
    const Vec3& p = mesh.Positions()[i];
    EXPECT_GT(mkcli::Dot(mesh.Normals()[i], {p.x, 0, p.z}), 0.5) << i;
    EXPECT_NEAR(mkcli::Length(mesh.Normals()[i]), 1.0, 1e-12);
  }
}

TEST(ObjWriter, OneBasedCornersWithTheirNormalsAndAGroupPerFeature) {
  mkcli::TriangleMesh mesh;
  const auto a = mesh.AddVertex({0, 0, 0}), b = mesh.AddVertex({1, 0, 0}),
             c = mesh.AddVertex({0, 1, 0}), d = mesh.AddVertex({1, 1, 0});
  mesh.BeginGroup("head");
  mesh.AddTriangle(a, b, c, mkcli::Surface::Skin);
  mesh.AddTriangle(b, d, c, mkcli::Surface::Lips);
  mesh.ComputeNormals();
  EXPECT_EQ(mkcli::FormatObj(mesh, "one\ntwo"),
            "# one\n# two\n"
            "v 0.0000 0.0000 0.0000\nv 1.0000 0.0000 0.0000\nv 0.0000 1.0000 0.0000\n"
            "v 1.0000 1.0000 0.0000\n"
            "vn 0.0000 0.0000 1.0000\nvn 0.0000 0.0000 1.0000\nvn 0.0000 0.0000 1.0000\n"
            "vn 0.0000 0.0000 1.0000\n"
            "g head\nf 1//1 2//2 3//3\ng head_lips\nf 2//2 4//4 3//3\n");
}

mkcli::TriangleMesh Square(double z, double half, mkcli::Surface surface) {
  mkcli::TriangleMesh mesh;
  const auto a = mesh.AddVertex({-half, -half, z}), b = mesh.AddVertex({half, -half, z}),
             c = mesh.AddVertex({half, half, z}), d = mesh.AddVertex({-half, half, z});
  mesh.AddTriangle(a, b, c, surface);
  mesh.AddTriangle(a, c, d, surface);
  mesh.ComputeNormals();
  return mesh;
}

TEST(Renderer, FillsKeepsTheNearestAndShades) {
  const mkcli::Rgb background{10, 20, 30};
  const mkcli::Placement centred{mkcli::FrontView(), 10.0, 50.0, 50.0};
  // A small skin square in front of a large dark one.
  const mkcli::TriangleMesh nearSquare = Square(1.0, 1.0, mkcli::Surface::Skin);
  const mkcli::TriangleMesh farSquare = Square(-1.0, 3.0, mkcli::Surface::Pupils);
  for (bool nearFirst : {true, false}) {
    mkcli::Canvas canvas(100, 100, background, 2);
    canvas.Draw(nearFirst ? nearSquare : farSquare, centred);
    canvas.Draw(nearFirst ? farSquare : nearSquare, centred);
    const mkcli::Image image = canvas.Resolve();
    const mkcli::Rgb centre = image.At(50, 50), ring = image.At(50, 25), corner = image.At(2, 2);
    EXPECT_EQ(corner.r, background.r);
    EXPECT_EQ(corner.b, background.b);
    EXPECT_GT(centre.r, 150) << nearFirst;
    EXPECT_LT(ring.r, 40) << nearFirst;
  }
  // Up is up and right is right: a square moved up and right lands there.
  mkcli::TriangleMesh moved = nearSquare;
  moved.Translate({3.0, 3.0, 0.0});
  mkcli::Canvas canvas(100, 100, background, 1);
  canvas.Draw(moved, centred);
  const mkcli::Image image = canvas.Resolve();
  EXPECT_GT(image.At(80, 20).r, 150);
  EXPECT_EQ(image.At(50, 50).r, background.r);

  // Lambert shading: a square tilted towards the key light (upper left, in front) and away from it.
  mkcli::TriangleMesh towards, away;
  for (auto [mesh, sign] : {std::pair{&towards, 1.0}, std::pair{&away, -1.0}}) {
    const auto a = mesh->AddVertex({-1, -1, -sign}), b = mesh->AddVertex({1, -1, sign}),
               c = mesh->AddVertex({1, 1, sign}), d = mesh->AddVertex({-1, 1, -sign});
    mesh->AddTriangle(a, b, c, mkcli::Surface::Skin);
    mesh->AddTriangle(a, c, d, mkcli::Surface::Skin);
    mesh->ComputeNormals();
  }
  mkcli::Canvas lit(100, 100, {0, 0, 0}, 1), dark(100, 100, {0, 0, 0}, 1);
  lit.Draw(towards, centred);
  dark.Draw(away, centred);
  EXPECT_GT(lit.Resolve().At(50, 50).r, dark.Resolve().At(50, 50).r + 40);
}

TEST(PngWriter, DecodesToThePixelsGiven) {
  mkcli::Image image(3, 2, {1, 2, 3});
  image.Set(2, 1, {200, 100, 50});
  std::string png, error;
  ASSERT_TRUE(mkcli::EncodePng(image, png, error)) << error;
  png_image decoded;
  std::memset(&decoded, 0, sizeof decoded);
  decoded.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&decoded, png.data(), png.size()));
  decoded.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(decoded));
  ASSERT_TRUE(png_image_finish_read(&decoded, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(decoded.width, 3u);
  EXPECT_EQ(decoded.height, 2u);
  EXPECT_EQ(std::vector<unsigned char>(pixels.begin(), pixels.begin() + 3),
            (std::vector<unsigned char>{1, 2, 3}));
  EXPECT_EQ(std::vector<unsigned char>(pixels.end() - 3, pixels.end()),
            (std::vector<unsigned char>{200, 100, 50}));
}

TEST(OutputFiles, AllOrNothing) {
  mktooltest::ScratchDirectory dir;
  {
    mkcli::OutputFiles files;
    files.Stage((dir / "a.txt").string(), "--a", "first");
    EXPECT_THROW(files.Stage((dir / "no" / "b.txt").string(), "--b", "second"), std::exception);
  }  // abandoned: the staged file goes too
  EXPECT_TRUE(dir.Entries().empty());
  {
    mkcli::OutputFiles files;
    files.Stage((dir / "a.txt").string(), "--a", "first");
    files.Stage((dir / "b.txt").string(), "--b", "second");
    EXPECT_EQ(dir.Entries().size(), 2u);  // the temporary files
    EXPECT_FALSE(std::filesystem::exists(dir / "a.txt"));
    files.Commit();
  }
  EXPECT_EQ(mktooltest::Slurp(dir / "a.txt"), "first");
  EXPECT_EQ(mktooltest::Slurp(dir / "b.txt"), "second");
  EXPECT_EQ(dir.Entries().size(), 2u);
}

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

}  // namespace
