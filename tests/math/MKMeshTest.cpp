// Point meshes: their convex hull and polygon containment.
#include <gtest/gtest.h>

#include "math/MKBagOfMKMesh.h"
#include "math/MKMathRoutines.h"
#include "math/MKMesh.h"

namespace {

MKMesh Polygon(std::initializer_list<MK3DVertex> points,
               MKMesh::MKMeshType type = MKMesh::MKPointSet) {
  MKMesh mesh(type);
  for (const MK3DVertex& p : points) mesh.Append(p);
  return mesh;
}

bool Same(const MK3DVertex& a, const MK3DVertex& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace

TEST(MKMeshTest, ConvexHullDropsInnerPointsAndClosesThePolygon) {
  // Corners in order around the square, the centre last, in the floor plane.
  const MKMesh square = Polygon({{0, 0, 0}, {2, 0, 0}, {2, 0, 2}, {0, 0, 2}, {1, 0, 1}});
  const MKMesh hull = square.ConvexHull();
  ASSERT_EQ(hull.GetNumberOfPoints(), 5u);
  EXPECT_EQ(hull.GetType(), MKMesh::MKPointSet);
  EXPECT_TRUE(Same(hull[0], hull[4]));
  EXPECT_EQ(hull.Locate(MK3DVertex(1, 0, 1)), -1);
  for (const MK3DVertex& corner :
       {MK3DVertex(0, 0, 0), MK3DVertex(2, 0, 0), MK3DVertex(2, 0, 2), MK3DVertex(0, 0, 2)})
    EXPECT_NE(hull.Locate(corner), -1);

  EXPECT_EQ(Polygon({{0, 0, 0}, {1, 0, 0}}, MKMesh::MKRing).ConvexHull().GetType(),
            MKMesh::MKEmptyResult);
  const MKMesh triangle = Polygon({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
  EXPECT_TRUE(triangle.ConvexHull() == triangle);
}

TEST(MKMeshTest, PolygonsContainTheirInsideInTheFloorPlane) {
  // A tilted quadrilateral: a triangle with two corners on one x or z
  // contains nothing, so an axis-aligned square would contain no point.
  const MKMesh quad = Polygon({{1, 0, 0}, {2.1, 0, 1}, {1.2, 0, 2.2}, {0, 0, 1.1}});
  EXPECT_TRUE(MKMathRoutines::ContainsVertex(quad, MK3DVertex(1, 5, 1)));  // y is ignored
  EXPECT_FALSE(MKMathRoutines::ContainsVertex(quad, MK3DVertex(3, 0, 1)));
  const MKMesh square = Polygon({{0, 0, 0}, {2, 0, 0}, {2, 0, 2}, {0, 0, 2}});
  EXPECT_FALSE(MKMathRoutines::ContainsVertex(square, MK3DVertex(1, 0, 1)));
  EXPECT_FALSE(MKMathRoutines::ContainsVertex(
      Polygon({{1, 0, 0}, {2.1, 0, 1}, {1.2, 0, 2.2}}, MKMesh::MKRing), MK3DVertex(1.2, 0, 1)));
}

TEST(MKMeshTest, BagHoldsCopies) {
  MKBagOfMKMesh bag;
  MKMesh mesh = Polygon({{1, 2, 3}});
  bag.AddMesh(mesh);
  mesh.Append(4, 5, 6);
  ASSERT_EQ(bag.GetNumberOfMeshes(), 1u);
  EXPECT_EQ(bag.GetMesh(0)->GetNumberOfPoints(), 1u);
  EXPECT_EQ(bag.GetMesh(1), nullptr);
  // Copies of the bag own copies of its meshes: they outlive its Clear.
  const MKBagOfMKMesh copy(bag);
  MKBagOfMKMesh assigned;
  assigned = copy;
  bag.Clear();
  EXPECT_EQ(bag.GetNumberOfMeshes(), 0u);
  for (const MKBagOfMKMesh* kept : {&copy, static_cast<const MKBagOfMKMesh*>(&assigned)}) {
    ASSERT_EQ(kept->GetNumberOfMeshes(), 1u);
    EXPECT_EQ((*kept->GetMesh(0))[0].z, 3.0);
  }
}
