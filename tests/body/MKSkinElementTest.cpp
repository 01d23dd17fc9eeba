#include "body/MKSkinElement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "body/MKEllipse.h"
#include "math/MKMesh.h"

namespace {

MKMesh Ring(unsigned int n, double radius, double z, MKMesh::MKMeshType type = MKMesh::MKRing) {
  MKEllipse sampler(nullptr, EBoCh, 0);
  MKMesh ring(type);
  sampler.CreateSamplePoints(n, ring, radius, radius, z);
  return ring;
}

TEST(MKMeshBasicsTest, OutOfRangeIndicesFallBackToTheFirstPoint) {
  MKMesh mesh;
  EXPECT_EQ(mesh[3].x, 0.0);  // empty: the origin
  mesh.Append(1.0, 2.0, 3.0);
  mesh.Append(4.0, 5.0, 6.0);
  mesh.SetNormalOnVertice(1, 0.0, 0.0, 1.0);
  mesh.SetNormalOnVertice(2, 9.0, 9.0, 9.0);  // ignored
  EXPECT_EQ(mesh[7].x, 1.0);
  EXPECT_EQ(mesh.GetNormalOnVertice(1).z, 1.0);
  EXPECT_EQ(mesh.GetNormalOnVertice(5).z, 0.0);
}

TEST(MKSkinElementTest, NormalsOfACylinderPointOutward) {
  MKSkinElement skin(nullptr);
  MKMesh marker(MKMesh::MKPointSet);
  marker.Append(0.0, 0.0, 0.5);
  skin.AddMesh(marker);  // neither gets normals nor counts as a neighbour
  for (int k = 0; k < 3; ++k) skin.AddMesh(Ring(12, 2.0, k));
  skin.AddMesh(Ring(6, 1.0, 3.0, MKMesh::MKCap));  // a cap of another count closes the top
  skin.CalculateNormalOnVertices();

  EXPECT_EQ(skin.GetMesh(0)->GetNormalOnVertice(0).z, 0.0);
  EXPECT_EQ(skin.GetMesh(0)->GetNormalOnVertice(0).x, 0.0);
  for (unsigned int k = 1; k <= 4; ++k) {
    const MKMesh& mesh = *skin.GetMesh(k);
    for (unsigned int j = 0; j < mesh.GetNumberOfPoints(); ++j) {
      const MK3DVertex& p = mesh[j];
      const MK3DVertex& n = mesh.GetNormalOnVertice(j);
      EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0, 1e-12) << k << " " << j;
      EXPECT_GT(n.x * p.x + n.y * p.y, 0.0) << "outward, mesh " << k << " point " << j;
    }
  }
  // The middle ring sees a straight wall: purely radial normals.
  const MKMesh& middle = *skin.GetMesh(2);
  for (unsigned int j = 0; j < 12; ++j) {
    EXPECT_NEAR(middle.GetNormalOnVertice(j).x, middle[j].x / 2.0, 1e-12);
    EXPECT_NEAR(middle.GetNormalOnVertice(j).z, 0.0, 1e-12);
  }
  EXPECT_GT(skin.GetMesh(3)->GetNormalOnVertice(0).z, 0.0) << "the ring under the cap leans up";

  // A cap's pole, all of whose points coincide, points on along the cap,
  // at either end of the skin.
  skin.AddMesh(Ring(6, 0.0, 4.0, MKMesh::MKCap));
  skin.InsertMeshAtIndex(1, Ring(12, 0.0, -1.0, MKMesh::MKCap));
  skin.CalculateNormalOnVertices();
  for (unsigned int j = 0; j < 6; ++j)
    EXPECT_NEAR(skin.GetMesh(6)->GetNormalOnVertice(j).z, 1.0, 1e-12) << j;
  for (unsigned int j = 0; j < 12; ++j)
    EXPECT_NEAR(skin.GetMesh(1)->GetNormalOnVertice(j).z, -1.0, 1e-12) << j;
}

}  // namespace
