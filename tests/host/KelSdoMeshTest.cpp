// Subdivision meshes: building, neighbourhood, refusals and Catmull-Clark.
#include "host/KelSdoMesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "host/KelSdoCreateMesh.h"

namespace {

constexpr double kTol = 1e-12;

void ExpectNear(const KelMathVector& actual, const KelMathVector& expected) {
  EXPECT_NEAR(actual.x, expected.x, kTol);
  EXPECT_NEAR(actual.y, expected.y, kTol);
  EXPECT_NEAR(actual.z, expected.z, kTol);
}

// Every link of the neighbourhood agrees with its counterpart.
void ExpectConsistent(const KelSdoMesh& mesh) {
  for (int i = 1; i <= mesh.GetNbFaces(); ++i) {
    const KelSdoFace* f = mesh.GetFace(i);
    ASSERT_NE(f, nullptr);
    for (int k = 0; k < KelSdoFace::sNbCorners; ++k) {
      const KelSdoEdge* e = f->GetEdge(k);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(f->GetSideOfEdge(e), k);
      EXPECT_EQ(e, mesh.FindEdge(f->GetVertexIndex(k), f->GetVertexIndex((k + 1) % 4)));
      EXPECT_TRUE(e->GetFace(0) == f || e->GetFace(1) == f);
      EXPECT_GE(f->GetVertex(k)->GetFaces().Locate(const_cast<KelSdoFace*>(f)), 1);
      const KelSdoFace* across = f->GetNeighbour(k);
      if (across != nullptr) {
        EXPECT_EQ(across->GetNeighbour(across->GetSideOfEdge(e)), f);
      }
    }
  }
  for (int i = 1; i <= mesh.GetNbEdges(); ++i) {
    const KelSdoEdge* e = mesh.GetEdge(i);
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->GetFace(0), nullptr);
    EXPECT_EQ(e->IsBoundary(), e->GetFace(1) == nullptr);
    for (int end = 0; end < 2; ++end)
      EXPECT_GE(e->GetVertex(end)->GetEdges().Locate(const_cast<KelSdoEdge*>(e)), 1);
  }
}

// One quad on the corners (x, y, 0) given counter-clockwise seen from +z.
std::unique_ptr<KelSdoMesh> Quad(const double (&xy)[4][2]) {
  std::unique_ptr<KelSdoMesh> mesh(KelSdoCreateMesh());
  for (const auto& p : xy) mesh->AddVertex(p[0], p[1], 0);
  EXPECT_EQ(mesh->AddFace(1, 2, 3, 4), KelSdoSuccess);
  return mesh;
}

std::unique_ptr<KelSdoMesh> Square() {
  return Quad({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
}

// Cube of side 1 centred at the origin, faces facing outwards.
std::unique_ptr<KelSdoMesh> Cube() {
  std::unique_ptr<KelSdoMesh> mesh(KelSdoCreateMesh());
  for (int i = 0; i < 8; ++i)  // vertex i + 1 has bits x, y, z of i
    mesh->AddVertex((i & 1) - 0.5, ((i >> 1) & 1) - 0.5, ((i >> 2) & 1) - 0.5);
  const int quads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                           {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
  for (const auto& q : quads) EXPECT_EQ(mesh->AddFace(q[0], q[1], q[2], q[3]), KelSdoSuccess);
  return mesh;
}

TEST(KelSdoMeshTest, RefusalsLeaveTheMeshUnchanged) {
  std::unique_ptr<KelSdoMesh> mesh = Square();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(mesh->AddVertex(std::nan(""), 0, 0), 0);
  EXPECT_EQ(mesh->AddVertex(0, inf, 0), 0);
  EXPECT_FALSE(mesh->SetVertexPosition(1, KelMathVector(0, 0, -inf)));
  EXPECT_FALSE(mesh->SetVertexPosition(5, KelMathVector()));
  EXPECT_EQ(mesh->AddVertex(2, 0, 0), 5);
  EXPECT_EQ(mesh->AddVertex(2, 1, 0), 6);

  int face = -1;
  const int bad[] = {0, 7, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
  for (int b : bad) {
    EXPECT_EQ(mesh->AddFace(2, 5, 6, b, &face), KelSdoBadVertexIndex) << b;
    EXPECT_EQ(face, 0);
  }
  EXPECT_EQ(mesh->AddFace(2, 5, 6, 2), KelSdoDegenerateFace);
  EXPECT_EQ(mesh->AddFace(2, 2, 2, 2), KelSdoDegenerateFace);
  // Two faces on side 2-3, so a third on it is refused, even reversed.
  EXPECT_EQ(mesh->AddFace(2, 5, 6, 3), KelSdoSuccess);
  EXPECT_EQ(mesh->AddFace(3, 2, 5, 6, &face), KelSdoEdgeFull);
  EXPECT_EQ(face, 0);
  EXPECT_EQ(mesh->GetNbVertices(), 6);
  EXPECT_EQ(mesh->GetNbEdges(), 7);
  EXPECT_EQ(mesh->GetNbFaces(), 2);
  ExpectConsistent(*mesh);

  // Out-of-range access answers null.
  EXPECT_EQ(mesh->GetVertex(0), nullptr);
  EXPECT_EQ(mesh->GetEdge(8), nullptr);
  EXPECT_EQ(mesh->GetFace(3), nullptr);
  EXPECT_EQ(mesh->FindEdge(1, 3), nullptr);
  EXPECT_EQ(mesh->FindEdge(1, 99), nullptr);
  const KelSdoFace* f = mesh->GetFace(1);
  EXPECT_EQ(f->GetVertex(4), nullptr);
  EXPECT_EQ(f->GetVertexIndex(-1), 0);
  EXPECT_EQ(f->GetNeighbour(-1), nullptr);
  const KelSdoEdge* e = mesh->GetEdge(1);
  EXPECT_EQ(e->GetVertex(2), nullptr);
  EXPECT_EQ(e->GetFace(-1), nullptr);
  EXPECT_EQ(e->GetOtherVertex(mesh->GetVertex(3)), nullptr);
}

// Catmull-Clark on a lone square (boundary rules) and a closed cube (interior
// rules), both worked by hand; two levels at once equal one level twice.
TEST(KelSdoMeshTest, SubdivisionFollowsTheCatmullClarkRules) {
  std::unique_ptr<KelSdoMesh> square(Square()->CreateSubdividedMesh());
  ASSERT_NE(square, nullptr);
  EXPECT_EQ(square->GetNbVertices(), 9);
  EXPECT_EQ(square->GetNbEdges(), 12);
  EXPECT_EQ(square->GetNbFaces(), 4);
  ExpectConsistent(*square);
  // Corner: 3/4 of itself and 1/8 of each boundary neighbour; boundary edge:
  // midpoint; face: centroid. The face at corner 0 runs corner, side 0, centre, side 3.
  ExpectNear(square->GetVertex(1)->GetPosition(), KelMathVector(0.125, 0.125, 0));
  ExpectNear(square->GetVertex(3)->GetPosition(), KelMathVector(0.875, 0.875, 0));
  ExpectNear(square->GetVertex(4 + 1)->GetPosition(), KelMathVector(0.5, 0, 0));
  ExpectNear(square->GetVertex(9)->GetPosition(), KelMathVector(0.5, 0.5, 0));
  const int corners[] = {1, 4 + 1, 9, 4 + 4};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(square->GetFace(1)->GetVertexIndex(k), corners[k]);
  for (int i = 1; i <= 9; ++i)
    ExpectNear(square->GetVertex(i)->GetNormal(), KelMathVector(0, 0, 1));

  std::unique_ptr<KelSdoMesh> cube = Cube();
  ExpectConsistent(*cube);
  std::unique_ptr<KelSdoMesh> sub(cube->CreateSubdividedMesh(1));
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->GetNbVertices(), 26);
  EXPECT_EQ(sub->GetNbEdges(), 48);
  EXPECT_EQ(sub->GetNbFaces(), 24);
  ExpectConsistent(*sub);
  for (int i = 1; i <= sub->GetNbEdges(); ++i) EXPECT_FALSE(sub->GetEdge(i)->IsBoundary());
  // Corner S = (h, h, h), h = 1/2, valence 3: face points' mean Q = (h/3)(1,1,1),
  // edge midpoints' mean R = (2h/3)(1,1,1); (Q + 2R + 0 S) / 3 = (5h/9)(1,1,1).
  for (int i = 1; i <= 8; ++i) {
    const KelMathVector& s = cube->GetVertex(i)->GetPosition();
    ExpectNear(sub->GetVertex(i)->GetPosition(), s * (5.0 / 9.0));
    ExpectNear(sub->GetVertex(i)->GetNormal(), s * (1 / s.Norm()));  // along its diagonal
  }
  // Edge point: mean of the ends (h,h,+-h) and face points (h,0,0), (0,h,0).
  const KelSdoEdge* e = cube->FindEdge(4, 8);
  ExpectNear(sub->GetVertex(8 + e->GetIndex())->GetPosition(), KelMathVector(0.375, 0.375, 0));
  for (int i = 1; i <= sub->GetNbVertices(); ++i) {
    const KelSdoVertex* v = sub->GetVertex(i);
    EXPECT_GT(v->GetNormal().Dot(v->GetPosition()), 0.0);  // outwards
    EXPECT_NEAR(v->GetNormal().Norm(), 1.0, kTol);
  }

  EXPECT_EQ(cube->CreateSubdividedMesh(0), nullptr);
  EXPECT_EQ(cube->CreateSubdividedMesh(KelSdoMesh::sMaxSubdivisionLevel + 1), nullptr);
  // 6 * 4^10 faces is beyond sMaxFaces: refused before any work.
  EXPECT_EQ(cube->CreateSubdividedMesh(KelSdoMesh::sMaxSubdivisionLevel), nullptr);
  std::unique_ptr<KelSdoMesh> twice(cube->CreateSubdividedMesh(2));
  std::unique_ptr<KelSdoMesh> onceMore(sub->CreateSubdividedMesh(1));
  ASSERT_NE(twice, nullptr);
  ASSERT_EQ(twice->GetNbVertices(), onceMore->GetNbVertices());
  EXPECT_EQ(twice->GetNbFaces(), 96);
  for (int i = 1; i <= twice->GetNbVertices(); ++i)
    ExpectNear(twice->GetVertex(i)->GetPosition(), onceMore->GetVertex(i)->GetPosition());
}

// Extreme coordinates stay finite; a face without area has no normal.
TEST(KelSdoMeshTest, ExtremeAndFlatFaces) {
  const double big = std::numeric_limits<double>::max();
  std::unique_ptr<KelSdoMesh> mesh = Quad({{-big, -big}, {big, -big}, {big, big}, {-big, big}});
  ExpectNear(mesh->GetFace(1)->GetNormal(), KelMathVector(0, 0, 1));
  std::unique_ptr<KelSdoMesh> sub(mesh->CreateSubdividedMesh());
  ASSERT_NE(sub, nullptr);
  ExpectNear(sub->GetVertex(9)->GetPosition(), KelMathVector(0, 0, 0));
  EXPECT_EQ(sub->GetVertex(5)->GetPosition().x, 0.0);
  std::unique_ptr<KelSdoMesh> flat = Quad({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
  EXPECT_EQ(flat->GetFace(1)->GetNormal().Norm(), 0.0);
  EXPECT_EQ(flat->GetVertex(1)->GetNormal().Norm(), 0.0);
}

}  // namespace
