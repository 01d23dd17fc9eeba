// The subdivided head: the shipped base meshes placed on sized head ellipses.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "host/KelSdoEdge.h"
#include "host/KelSdoMesh.h"

namespace {

// The head ellipses of a man, placed on the skull top's frame (+Y front, +Z up).
void SizeHead(MKBody& body) {
  struct Row {
    MKShortName name;
    double z, y, major, minor;
  };
  const Row rows[] = {{EHeFh, 4.5, -0.6, 15.5, 18.6}, {EHeGl, 1.2, -0.1, 15.1, 19.7},
                      {EHeEy, -0.4, 0.3, 14.6, 18.6}, {EHeNo, -4.7, 1.6, 14.1, 19.8},
                      {EHeSt, -7.9, 1.5, 12.0, 16.2}, {EHeMe, -10.9, 1.0, 10.4, 16.0},
                      {EHeCh, -12.7, 0.3, 8.8, 14.6}};
  for (const Row& row : rows) {
    MKEllipse* ellipse = body.GetEllipse(row.name);
    ASSERT_NE(ellipse, nullptr);
    ellipse->SetAxisValues(row.major, row.minor);
    ellipse->SetPosition(0.0, row.y, row.z);
  }
}

}  // namespace

TEST(MKBodyHeadTest, BaseMeshIsClosedSubdividesOnceAndIsShownOnItsSegments) {
  MKBody body(nullptr, 1, 1);
  SizeHead(body);
  body.InitSubD(1);
  const KelSdoMesh* base = body.GetSubDBaseMesh();
  ASSERT_NE(base, nullptr);
  ASSERT_GT(base->GetNbFaces(), 100);
  EXPECT_EQ(base->GetNbVertices(), MKBody::sNbVertices[1]);
  EXPECT_EQ(base->GetNbFaces(), MKBody::sNbHierarchies[1]);
  for (int e = 1; e <= base->GetNbEdges(); ++e) EXPECT_FALSE(base->GetEdge(e)->IsBoundary()) << e;
  // Anchored on ellipses of one head, the vertices stay within a head's reach.
  for (int v = 0; v < base->GetNbVertices(); ++v) {
    const MK3DVertex p = body.GetComputedVertexAtHierarchyIndex(v);
    EXPECT_LT(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 30.0) << v;
  }
  std::unique_ptr<KelSdoMesh> fine(body.GetSubDSubdividedMesh());
  ASSERT_NE(fine, nullptr);
  EXPECT_EQ(fine->GetNbFaces(), 4 * base->GetNbFaces());

  // Its faces are listed on the segments that show and carry them.
  body.AssignSubDVertices();
  body.AssignSegmentsTextureInfo(1);
  EXPECT_EQ(MKBody::GetVisuSegmentIndex(26), 25u);
  EXPECT_EQ(MKBody::GetVisuSegmentIndex(30), 30u);
  int listed = 0;
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i)
    listed += body.GetSegmentAtIndex(i)->GetNbHierarchies(2);
  EXPECT_EQ(listed, body.GetNbHierarchies());  // every face shown by exactly one segment
  MKSegment* head = body.GetSegment(SHeCg);
  EXPECT_GT(head->GetNbHierarchies(1), 0);  // the skull top's anchors count for the head
  EXPECT_EQ(body.GetSegment(SHeTo)->GetNbHierarchies(1), 0);
  EXPECT_EQ(head->GetPathToTexture(), MKBody::sFaceTexturePath[1]);
  std::unique_ptr<KelRawCollint> pupils(body.GetPupilsFacesIndexes());
  EXPECT_EQ(pupils->Size(), MKBody::sNbPupilsFaces[1]);
}
