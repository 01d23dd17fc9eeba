// The skin where segments meet: the trunk's tube along the vertebrae and
// the shoulders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"
#include "manikin/MKManikin.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

MK3DVertex At(double y) {
  return MK3DVertex(0.0, y, 0.0);
}

using mktest::Manikin;

Manikin MakeMale50() {
  return mktest::Make(1, 50);
}

MK3DVertex ToWorld(MKSegment* segment, const MK3DVertex& p) {
  const MK3x1Matrix q = segment->GetGlobalMatrix() * MK3x1Matrix(p.x, p.y, p.z);
  return MK3DVertex(q(0), q(1), q(2));
}

MK3DVertex WorldCentre(MKSegment* segment, const MKMesh& ring) {
  MK3DVertex c(0.0, 0.0, 0.0);
  const unsigned int n = ring.GetNumberOfPoints();
  for (unsigned int k = 0; k < n; ++k) {
    const MK3DVertex p = ToWorld(segment, ring[k]);
    c = MK3DVertex(c.x + p.x / n, c.y + p.y / n, c.z + p.z / n);
  }
  return c;
}

// The rings (type 2) of a segment's skin, in order.
std::vector<const MKMesh*> Rings(MKSegment* segment) {
  std::vector<const MKMesh*> rings;
  MKSkinElement* skin = segment->GetSkinElement();
  for (unsigned int i = 0; skin && i < skin->GetNumberOfMeshes(); ++i)
    if (skin->GetMesh(i)->GetType() == MKMesh::MKRing) rings.push_back(skin->GetMesh(i));
  return rings;
}

constexpr MKShortName kVertebrae[] = {SBoL5,  SBoL4,  SBoL3, SBoL2, SBoL1, SBoT12,
                                      SBoT11, SBoT10, SBoT9, SBoT8, SBoT7, SBoT6,
                                      SBoT5,  SBoT4,  SBoT3, SBoT2, SBoT1};

TEST(MKBodyTrunkSkinTest, EveryVertebraHasRingsOfTheMeshResolution) {
  Manikin m = MakeMale50();
  ASSERT_TRUE(m);
  MKBody* body = m->GetBody();
  for (unsigned int resolution : {12u, 32u}) {
    body->SetMeshResolution(resolution);
    for (MKShortName name : kVertebrae) {
      MKSegment* vertebra = body->GetSegment(name);
      const std::vector<const MKMesh*> rings = Rings(vertebra);
      ASSERT_FALSE(rings.empty()) << vertebra->GetShortNameAsString();
      // The tube alone: no leftover cap or ring of another size.
      EXPECT_EQ(rings.size(), vertebra->GetSkinElement()->GetNumberOfMeshes());
      for (const MKMesh* ring : rings) EXPECT_EQ(ring->GetNumberOfPoints(), resolution);
    }
  }
}

// The world rings of the trunk's tube from the buttocks to the neck, in
// order, each once.
std::vector<std::vector<MK3DVertex>> TubeInWorld(MKBody& body) {
  std::vector<MKShortName> chain = {SBoPh, SBoTIp};
  chain.insert(chain.end(), std::begin(kVertebrae), std::end(kVertebrae));
  chain.push_back(SHeNe);
  std::vector<std::vector<MK3DVertex>> tube;
  for (MKShortName name : chain) {
    MKSegment* segment = body.GetSegment(name);
    for (const MKMesh* ring : Rings(segment)) {
      std::vector<MK3DVertex> points;
      for (unsigned int k = 0; k < ring->GetNumberOfPoints(); ++k)
        points.push_back(ToWorld(segment, (*ring)[k]));
      // A ring shared by two segments comes once.
      if (!tube.empty() && std::fabs(points[0].y - tube.back()[0].y) < 1e-9 &&
          std::fabs(points[0].x - tube.back()[0].x) < 1e-9)
        continue;
      tube.push_back(points);
    }
  }
  return tube;
}

double Coordinate(const MK3DVertex& p, int c) {
  return c == 0 ? p.x : (c == 1 ? p.y : p.z);
}

TEST(MKBodyTrunkSkinTest, TheTubeBendsSmoothlyAndNeverSwellsBeyondItsSections) {
  for (int sex : {0, 1}) {
    Manikin m = mktest::Make(sex, 50);
    ASSERT_TRUE(m);
    MKBody& body = *m->GetBody();
    const std::vector<std::vector<MK3DVertex>> tube = TubeInWorld(body);
    ASSERT_GT(tube.size(), 40u);
    // The sections, by height.
    std::vector<std::pair<double, MKMesh>> sections;
    for (MKShortName name :
         {EBoBu, EBoIl, EBoNi, EBoOm, EBoBb, EBoCh, EBoSc, EBoTh, EBoNe, EHeNe}) {
      MKEllipse* ellipse = body.GetEllipse(name);
      MKMesh ring(MKMesh::MKRing);
      ellipse->CreateSamplePoints(body.GetMeshResolution(), ring, -1.0, -1.0, 0.0);
      MKMesh world(MKMesh::MKRing);
      for (unsigned int k = 0; k < ring.GetNumberOfPoints(); ++k)
        world.Append(ToWorld(ellipse->GetSegment(), ring[k]));
      sections.emplace_back(ellipse->GetPosition(MKPositionCenter, MKGlobalSpace).y, world);
    }
    std::sort(sections.begin(), sections.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    double sharpest = 0.0;
    for (std::size_t i = 0; i < tube.size(); ++i) {
      const std::vector<MK3DVertex>& ring = tube[i];
      double y = 0.0;
      for (const MK3DVertex& p : ring) y += p.y / ring.size();
      std::size_t above = 0;
      while (above + 1 < sections.size() && sections[above].first < y - 1e-6) ++above;
      const MKMesh& high = sections[above].second;
      const MKMesh& low = sections[above > 0 ? above - 1 : 0].second;
      for (std::size_t k = 0; k < ring.size(); ++k) {
        for (int c = 0; c < 3; ++c) {
          const double a = Coordinate(low[static_cast<unsigned int>(k)], c);
          const double b = Coordinate(high[static_cast<unsigned int>(k)], c);
          EXPECT_GE(Coordinate(ring[k], c), std::fmin(a, b) - 0.05) << sex << " ring " << i;
          EXPECT_LE(Coordinate(ring[k], c), std::fmax(a, b) + 0.05) << sex << " ring " << i;
        }
        // Up the tube, the line through each point turns gradually: by
        // how much, per centimetre, from one step to the next.
        if (i == 0 || i + 1 == tube.size()) continue;
        const MK3DVertex& p0 = tube[i - 1][k];
        const MK3DVertex& p1 = ring[k];
        const MK3DVertex& p2 = tube[i + 1][k];
        const MK3DVertex d0(p1.x - p0.x, p1.y - p0.y, p1.z - p0.z);
        const MK3DVertex d1(p2.x - p1.x, p2.y - p1.y, p2.z - p1.z);
        const double l0 = std::sqrt(d0.x * d0.x + d0.y * d0.y + d0.z * d0.z);
        const double l1 = std::sqrt(d1.x * d1.x + d1.y * d1.y + d1.z * d1.z);
        const double cosine = (d0.x * d1.x + d0.y * d1.y + d0.z * d1.z) / (l0 * l1);
        sharpest = std::fmax(sharpest, std::acos(std::fmin(1.0, cosine)) / (0.5 * (l0 + l1)));
      }
    }
    // A tube blended straight from section to section turns at each
    // section all at once (over 1.2 radians per centimetre here); the
    // bands of shading that makes are what the cubic avoids.
    EXPECT_LT(sharpest, 1.0) << "sex " << sex;
  }
}

TEST(MKBodyTrunkSkinTest, TheArmsJoinTheShoulders) {
  Manikin m = MakeMale50();
  ASSERT_TRUE(m);
  MKBody* body = m->GetBody();
  for (MKShortName side : {RSArAr, LSArAr}) {
    MKSegment* arm = body->GetSegment(side);
    MKSegment* clavicle = arm->GetAncestor()->GetAncestor();
    const std::vector<const MKMesh*> armRings = Rings(arm);
    const std::size_t bridge = body->GetCapMeshResolution() + 1;
    ASSERT_GT(armRings.size(), bridge);
    // From the shoulder's last ring, out and down to the arm's own first ring.
    EXPECT_NEAR(WorldCentre(arm, *armRings.front()).x,
                WorldCentre(clavicle, *Rings(clavicle).back()).x, 1e-6);
    MKMesh own(MKMesh::MKRing);
    arm->GetEllipseAtIndex(0)->CreateSamplePoints(body->GetMeshResolution(), own, -1, -1, 0);
    EXPECT_TRUE(*armRings[bridge] == own);
    for (std::size_t i = 1; i <= bridge; ++i) {
      EXPECT_EQ(armRings[i]->GetNumberOfPoints(), body->GetMeshResolution());
      EXPECT_GT(std::fabs(WorldCentre(arm, *armRings[i]).x),
                std::fabs(WorldCentre(arm, *armRings[i - 1]).x));
    }
    // A bent pipe: it leaves the shoulder along the clavicle's last section
    // and reaches the arm along the arm's first.
    auto along = [&](std::size_t from, std::size_t to, MKEllipse* section) {
      const MK3DVertex a = WorldCentre(arm, *armRings[from]), b = WorldCentre(arm, *armRings[to]);
      const MK3DVertex n = section->GetNormalVector(MKGlobalSpace);
      const MK3DVertex d(b.x - a.x, b.y - a.y, b.z - a.z);
      return (d.x * n.x + d.y * n.y + d.z * n.z) /
             std::sqrt((d.x * d.x + d.y * d.y + d.z * d.z) * (n.x * n.x + n.y * n.y + n.z * n.z));
    };
    MKEllipse* clavicleEnd = clavicle->GetEllipse(side == RSArAr ? REArMSh : LEArMSh);
    EXPECT_GT(along(0, 1, clavicleEnd), std::cos(0.2)) << side;
    EXPECT_GT(along(bridge - 1, bridge, arm->GetEllipseAtIndex(0)), std::cos(0.2)) << side;
  }
}

// Between two sections only, the tube rises straight out of both: a ring
// asked for anywhere between them is centred at the height asked for.
TEST(MKBodyTrunkSkinTest, ATubeOfTwoSectionsRisesStraight) {
  Manikin m = MakeMale50();
  ASSERT_TRUE(m);
  MKBody* body = m->GetBody();
  for (const auto& pair : {std::make_pair(EBoOm, EBoCh), std::make_pair(EBoBu, EBoNi)}) {
    MKEllipse* low = body->GetEllipse(pair.first);
    MKEllipse* high = body->GetEllipse(pair.second);
    ASSERT_TRUE(low && high);
    KelRawCollPV ellipses;
    ellipses.Append(low);
    ellipses.Append(high);
    MKMesh curve(MKMesh::MKPointSet);
    curve.Append(low->GetPosition(MKPositionCenter, MKGlobalSpace));
    curve.Append(high->GetPosition(MKPositionCenter, MKGlobalSpace));
    for (double t : {0.2, 0.45, 0.8}) {
      const double y = curve[0].y + t * (curve[1].y - curve[0].y);
      MKMesh ring(MKMesh::MKRing);
      ASSERT_TRUE(
          body->CreateInterpolatedEllipse(low->GetSegment(), ellipses, curve, At(y), 1.0, ring));
      EXPECT_NEAR(WorldCentre(low->GetSegment(), ring).y, y, 1e-6) << pair.first << " " << t;
    }
  }
}

}  // namespace
