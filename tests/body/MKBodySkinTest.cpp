// The skin as a whole: the normals every rebuild leaves on it, and the
// joints that stay closed when they bend.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

MK3DVertex Carried(const MK4x4Matrix& carry, const MK3DVertex& p) {
  const MK3x1Matrix q = carry * MK3x1Matrix(p.x, p.y, p.z);
  return MK3DVertex(q(0), q(1), q(2));
}

MK3DVertex Minus(const MK3DVertex& a, const MK3DVertex& b) {
  return MK3DVertex(a.x - b.x, a.y - b.y, a.z - b.z);
}

double Dot(const MK3DVertex& a, const MK3DVertex& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

MK3DVertex Centre(const MKMesh& mesh) {
  MK3DVertex c(0.0, 0.0, 0.0);
  const unsigned int n = mesh.GetNumberOfPoints();
  for (unsigned int k = 0; k < n; ++k)
    c = MK3DVertex(c.x + mesh[k].x / n, c.y + mesh[k].y / n, c.z + mesh[k].z / n);
  return c;
}

// Every ring and cap point has a unit normal; on every cross-section ring
// (of the mesh resolution) it points away from the ring's centre.
void ExpectOutwardUnitNormals(MKBody& body, const char* when) {
  int checked = 0;
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i) {
    MKSegment* segment = body.GetSegmentAtIndex(i);
    MKSkinElement* skin = segment->GetSkinElement();
    for (unsigned int j = 0; skin && j < skin->GetNumberOfMeshes(); ++j) {
      const MKMesh& mesh = *skin->GetMesh(j);
      if (mesh.GetType() != MKMesh::MKRing && mesh.GetType() != MKMesh::MKCap) continue;
      const MK3DVertex c = Centre(mesh);
      const bool section =
          mesh.GetType() == MKMesh::MKRing && mesh.GetNumberOfPoints() == body.GetMeshResolution();
      for (unsigned int k = 0; k < mesh.GetNumberOfPoints(); ++k) {
        const MK3DVertex& n = mesh.GetNormalOnVertice(k);
        ASSERT_NEAR(Dot(n, n), 1.0, 1e-9)
            << when << ": " << segment->GetShortNameAsString() << " mesh " << j << " point " << k;
        if (section) {
          ASSERT_GT(Dot(n, Minus(mesh[k], c)), 0.0)
              << when << ": " << segment->GetShortNameAsString() << " mesh " << j << " point " << k;
        }
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 1000) << when;
}

// Where two pieces of the trunk meet, both sides give the shared ring's
// points one normal in the world.
void ExpectSmoothTrunk(MKBody& body) {
  const MKShortName tube[] = {SBoTIp, SBoL5,  SBoL4, SBoL3, SBoL2, SBoL1, SBoT12,
                              SBoT11, SBoT10, SBoT9, SBoT8, SBoT7, SBoT6, SBoT5,
                              SBoT4,  SBoT3,  SBoT2, SBoT1, SHeNe};
  MKSegment* below = body.GetSegment(SBoPh);
  int shared = 0;
  for (MKShortName name : tube) {
    MKSegment* above = body.GetSegment(name);
    MKSkinElement* a = below->GetSkinElement();
    const MKMesh& top = *a->GetMesh(a->GetNumberOfMeshes() - 1);
    const MKMesh& bottom = *above->GetSkinElement()->GetMesh(0);
    ASSERT_EQ(top.GetNumberOfPoints(), bottom.GetNumberOfPoints()) << name;
    const MK4x4Matrix& ga = below->GetGlobalMatrix();
    const MK4x4Matrix& gb = above->GetGlobalMatrix();
    for (unsigned int k = 0; k < top.GetNumberOfPoints(); ++k) {
      ASSERT_LT(std::sqrt(Dot(Minus(Carried(ga, top[k]), Carried(gb, bottom[k])),
                              Minus(Carried(ga, top[k]), Carried(gb, bottom[k])))),
                1e-6)
          << name << " point " << k;
      const MK3DVertex na =
          Minus(Carried(ga, top.GetNormalOnVertice(k)), Carried(ga, MK3DVertex(0, 0, 0)));
      const MK3DVertex nb =
          Minus(Carried(gb, bottom.GetNormalOnVertice(k)), Carried(gb, MK3DVertex(0, 0, 0)));
      EXPECT_GT(Dot(na, nb), 1.0 - 1e-9) << name << " point " << k;
      ++shared;
    }
    below = above;
  }
  EXPECT_GT(shared, 0);
}

TEST(MKBodySkinTest, EveryRebuildLeavesOutwardUnitNormals) {
  const unsigned int seed = 20261209;
  std::mt19937 random(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::uniform_real_distribution<double> percentile(1.0, 99.0);
  for (int sex : {0, 1}) {
    const double p = percentile(random);
    SCOPED_TRACE("sex " + std::to_string(sex) + ", percentile " + std::to_string(p));
    mktest::Manikin manikin = mktest::Make(sex, p);
    ASSERT_TRUE(manikin);
    MKBody& body = *manikin->GetBody();
    // Straight after creation, posed afterwards: the skin is held in the
    // segments' frames and keeps its normals.
    ASSERT_EQ(body.SetPosture(MKPostureSitting), MKStatusSuccess);
    ExpectOutwardUnitNormals(body, "created");
    ExpectSmoothTrunk(body);
    body.SetMeshResolution(12);
    ExpectOutwardUnitNormals(body, "coarser");
    ExpectSmoothTrunk(body);
  }
}

// How far the first ring of the lower segment of a bent joint reaches out
// of the dome that closes the upper segment's end: with the joint's section
// as it lies in the upper segment while the joint is straight (`straight`,
// the section's frame in the upper segment's), the largest x^2/a^2 + y^2/b^2
// + z^2/d^2 over the ring's points past the section's plane (z > 0), with a
// and b the section's half-axes and d how far the upper segment's caps reach
// past it; at most 1 when the dome closes the joint, infinite without a dome.
double WorstJointReach(MKEllipse& section, const MK4x4Matrix& straight, MKSegment& upper,
                       MKSegment& lower) {
  const MK4x4Matrix toSection = !straight;
  const MK4x4Matrix ownToSection = !section.GetLocalMatrix();
  MKMesh own(MKMesh::MKRing);
  section.CreateSamplePoints(32, own, -1.0, -1.0, 0.0);
  double a = 0.0, b = 0.0, d = 0.0;
  for (unsigned int k = 0; k < own.GetNumberOfPoints(); ++k) {
    const MK3DVertex p = Carried(ownToSection, own[k]);
    a = std::fmax(a, std::fabs(p.x));
    b = std::fmax(b, std::fabs(p.y));
  }
  const MKSkinElement& skin = *upper.GetSkinElement();
  for (unsigned int i = 0; i < skin.GetNumberOfMeshes(); ++i) {
    const MKMesh& cap = *skin.GetMesh(i);
    for (unsigned int k = 0; cap.GetType() == MKMesh::MKCap && k < cap.GetNumberOfPoints(); ++k)
      d = std::fmax(d, Carried(toSection, cap[k]).z);
  }
  const MKMesh& ring = *lower.GetSkinElement()->GetMesh(0);
  const MK4x4Matrix carry = lower.GetGlobalMatrix() * !upper.GetGlobalMatrix() * toSection;
  double worst = 0.0;
  for (unsigned int k = 0; k < ring.GetNumberOfPoints(); ++k) {
    const MK3DVertex p = Carried(carry, ring[k]);
    if (p.z > 1e-9)
      worst = std::fmax(worst, p.x * p.x / (a * a) + p.y * p.y / (b * b) +
                                   (d > 0.0 ? p.z * p.z / (d * d) : HUGE_VAL));
  }
  return worst;
}

TEST(MKBodySkinTest, KneesAndElbowsStayClosedWhenTheyBend) {
  const unsigned int seed = 1209;
  std::mt19937 random(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  mktest::Manikin manikin = mktest::Make(1, 50);
  ASSERT_TRUE(manikin);
  MKBody& body = *manikin->GetBody();
  struct Joint {
    MKShortName upper, lower, section;
  };
  // Each upper segment ends in a dome on into the lower one, which starts
  // with the joint's section: the knee's (the lower leg's own) and the
  // elbow's (the upper arm's, heading the forearm too).
  const Joint joints[] = {{RSLeTh, RSLeLe, RELeKn},
                          {LSLeTh, LSLeLe, LELeKn},
                          {RSArAr, RSArFAr, REArEl},
                          {LSArAr, LSArFAr, LEArEl}};
  for (const Joint& joint : joints) {
    MKSegment* upper = body.GetSegment(joint.upper);
    MKSegment* lower = body.GetSegment(joint.lower);
    MKEllipse* section = body.GetEllipse(joint.section);
    ASSERT_TRUE(upper && lower && section);
    body.ResetPosture();
    const MK4x4Matrix straight = section->GetGlobalMatrix() * !upper->GetGlobalMatrix();
    MKDOF* flexion = lower->GetDOF(0);
    const double low = flexion->GetMinLim(false), high = flexion->GetMaxLim(false);
    int bent = 0;
    for (int trial = 0; trial < 8; ++trial) {
      const double angle = low + (high - low) * unit(random);
      body.ResetPosture();
      if (flexion->SetMathematicalValue(angle) != MKStatusSuccess) continue;
      SCOPED_TRACE(std::string(lower->GetShortNameAsString()) + " at " + std::to_string(angle));
      EXPECT_LT(WorstJointReach(*section, straight, *upper, *lower), 1.02);
      bent += std::fabs(angle) > 0.5;
    }
    EXPECT_GT(bent, 2) << lower->GetShortNameAsString();
  }
}

// The one-argument cap call adds the caps its ellipse asks for, and only those.
TEST(MKBodySkinTest, CapMeshesAreThoseTheEllipseAsksFor) {
  mktest::Manikin manikin = mktest::Make(1, 50.0);
  ASSERT_TRUE(manikin);
  MKBody& body = *manikin->GetBody();
  body.CreateCapMeshes(nullptr);
  int capped = 0;
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i) {
    MKSegment& segment = *body.GetSegmentAtIndex(i);
    for (int e = 0; e < segment.GetNumberOfEllipses(); ++e) {
      MKEllipse* ellipse = segment.GetEllipseAtIndex(e);
      MKSkinElement* skin = segment.GetSkinElement();
      if (!skin || !ellipse->HasMesh()) continue;
      const unsigned int before = skin->GetNumberOfMeshes();
      body.CreateCapMeshes(ellipse);
      const unsigned int after = skin->GetNumberOfMeshes();
      SCOPED_TRACE(MKConvertShortNameToString(ellipse->GetShortName()));
      if (!ellipse->HasBeginCap() && !ellipse->HasEndCap()) {
        EXPECT_EQ(after, before);
        continue;
      }
      ++capped;
      EXPECT_GT(after, before);
      for (unsigned int k = before; k < after; ++k)
        EXPECT_EQ(skin->GetMesh(k)->GetType(), MKMesh::MKCap);
    }
  }
  EXPECT_GT(capped, 0);
}

// A limb that starts unlinked inside its ancestor (a thigh in the pelvis)
// opens its skin with a dome: cap points reaching back from its first
// section by up to half that section's smaller axis, none beyond.
TEST(MKBodySkinTest, UnlinkedLimbsStartWithADome) {
  mktest::Manikin manikin = mktest::Make(0, 50.0);
  ASSERT_TRUE(manikin);
  MKBody& body = *manikin->GetBody();
  int domes = 0;
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i) {
    MKSegment& segment = *body.GetSegmentAtIndex(i);
    MKSkinElement* skin = segment.GetSkinElement();
    MKEllipse* first = nullptr;
    for (int e = 0; !first && e < segment.GetNumberOfEllipses(); ++e)
      if (segment.GetEllipseAtIndex(e)->HasMesh()) first = segment.GetEllipseAtIndex(e);
    if (!skin || !first || first->HasBeginCap() || first->IsLinkedToAncestor() ||
        !segment.GetAncestor())
      continue;
    SCOPED_TRACE(segment.GetShortNameAsString());
    const MKMesh& dome = *skin->GetMesh(0);
    ASSERT_EQ(dome.GetType(), MKMesh::MKCap);
    const MK4x4Matrix toSection = !first->GetLocalMatrix();
    const double depth = 0.5 * std::fmin(first->GetMajorAxis(), first->GetMinorAxis());
    double reach = 0.0;
    for (unsigned int k = 0; k < dome.GetNumberOfPoints(); ++k)
      reach = std::fmax(reach, std::fabs(Carried(toSection, dome[k]).z));
    EXPECT_NEAR(reach, depth, 1e-6 * depth);
    ++domes;
  }
  EXPECT_GE(domes, 2);
}

}  // namespace
