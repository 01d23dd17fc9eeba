// The reach envelope: its shape, that its points are reached, and that it
// leaves the manikin as it found it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikinTestSupport.h"
#include "math/MK4x4Matrix.h"
#include "math/MKMesh.h"

namespace {

constexpr unsigned int kResolution = 8;

struct Arm {
  MKShortName girdle, arm, hand;
};
constexpr Arm kRight{RSBoTst, RSArAr, RSHaCPr};
constexpr Arm kLeft{LSBoTst, LSArAr, LSHaCPr};

MK3DVertex Carried(const MK3DVertex& p, const MK4x4Matrix& m) {
  const MK3x1Matrix q = m * MK3x1Matrix(p.x, p.y, p.z);
  return MK3DVertex(q(0), q(1), q(2));
}

double Distance(const MK3DVertex& a, const MK3DVertex& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                   (a.z - b.z) * (a.z - b.z));
}

MKSegment* Segment(const mktest::Manikin& m, MKShortName name) {
  return m->GetBody()->GetSegment(name);
}

// The envelope's points in the world, mesh by mesh.
std::vector<std::vector<MK3DVertex>> WorldEnvelope(const mktest::Manikin& m, const Arm& side) {
  MKSegment* girdle = Segment(m, side.girdle);
  std::vector<std::vector<MK3DVertex>> meshes;
  MKSkinElement* skin = girdle->GetSkinElement();
  for (unsigned int j = 0; skin && j < skin->GetNumberOfMeshes(); ++j) {
    const MKMesh& mesh = *skin->GetMesh(j);
    meshes.emplace_back();
    for (unsigned int i = 0; i < mesh.GetNumberOfPoints(); ++i)
      meshes.back().push_back(Carried(mesh[i], girdle->GetGlobalMatrix()));
  }
  return meshes;
}

MKFrame FrameOf(const MK4x4Matrix& m) {
  MKFrame frame;
  m.GetMKFrame(frame);
  return frame;
}

mktest::Manikin MakeEnveloped(int sex, double percentile, const Arm& side) {
  mktest::Manikin m = mktest::Make(sex, percentile);
  m->GetBody()->SetMeshResolution(kResolution);
  m->GetBody()->BuildReachEnvelope(side.arm, side.hand, MKFrame());
  return m;
}

double ChainLength(const mktest::Manikin& m, const Arm& side) {
  double length = 0.0;
  for (MKSegment* s = Segment(m, side.hand); s != Segment(m, side.arm); s = s->GetAncestor())
    length += s->GetLength();
  return length + Segment(m, side.arm)->GetLength();
}

struct PostureState {
  std::vector<double> values;
  std::vector<int> activity;
  int behavior;
  double tolerance;
  std::vector<double> pelvicFrame;
  bool operator==(const PostureState& o) const {
    return values == o.values && activity == o.activity && behavior == o.behavior &&
           tolerance == o.tolerance && pelvicFrame == o.pelvicFrame;
  }
};

PostureState StateOf(const mktest::Manikin& m) {
  PostureState s;
  KelRawColldouble values;
  m->GetBody()->GetDOFValues(values);
  for (int i = 1; i <= values.Size(); ++i) s.values.push_back(values[i]);
  MKIKManager* solver = m->GetIKManager();
  for (unsigned int i = 0; i < solver->GetNumberOfConstraints(); ++i)
    s.activity.push_back(solver->GetIKConstraint(i)->IsActive() ? 1 : 0);
  s.behavior = solver->GetBehavior();
  s.tolerance = solver->GetIKTolerance();
  MKFrame frame;
  solver->GetPelvicMovement(frame);
  const MK4x4Matrix pelvic(frame);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) s.pelvicFrame.push_back(pelvic(r, c));
  return s;
}

// Shape, bounds and reach of both arms: a cap at each pole (the upper
// first), n - 1 rings of n points, every ring point no farther from the
// arm's origin than the stretched chain (so within 1.2 chain lengths, where
// the targets lie), and reached again when the solver is asked for it from
// the middle of the ranges. The solver is local: from that start a few
// points on the boundary of the workspace end in another minimum.
TEST(MKBodyReachEnvelope, RingsLieWithinReachAndAreReachedAgain) {
  for (const Arm& side : {kRight, kLeft}) {
    mktest::Manikin m = MakeEnveloped(1, 50.0, side);
    const std::vector<std::vector<MK3DVertex>> meshes = WorldEnvelope(m, side);
    MKSkinElement* skin = Segment(m, side.girdle)->GetSkinElement();
    ASSERT_EQ(meshes.size(), kResolution + 1);
    for (unsigned int j = 0; j < meshes.size(); ++j) {
      const bool pole = j == 0 || j == kResolution;
      EXPECT_EQ(skin->GetMesh(j)->GetType(), pole ? MKMesh::MKCap : MKMesh::MKRing);
      ASSERT_EQ(meshes[j].size(), kResolution);
      for (const MK3DVertex& p : meshes[j]) EXPECT_TRUE(!pole || Distance(p, meshes[j][0]) == 0.0);
    }
    const MK3DVertex origin = Segment(m, side.arm)->GetBeginPoint(MKGlobalSpace);
    // The top of the envelope lies above the shoulder, the bottom below it.
    EXPECT_GT(meshes.front()[0].y, origin.y + 0.5 * ChainLength(m, side));
    EXPECT_LT(meshes.back()[0].y, origin.y - 0.5 * ChainLength(m, side));

    // Stretched out somewhere: the sweep goes beyond the arm's reach.
    double farthest = 0.0;
    for (const std::vector<MK3DVertex>& mesh : meshes)
      for (const MK3DVertex& p : mesh) farthest = std::max(farthest, Distance(p, origin));
    EXPECT_GT(farthest, 0.95 * ChainLength(m, side));

    MKIKManager* solver = m->GetIKManager();
    MKIKConstraint* c = nullptr;
    ASSERT_EQ(solver->AddConstraint(Segment(m, side.hand), Segment(m, side.arm),
                                    MKIKConstraint::sPosition, c, nullptr),
              MKStatusSuccess);
    c->Activate();
    solver->SetIKTolerance(0.025);
    int reachedAgain = 0, tried = 0;
    for (unsigned int j = 1; j < kResolution; ++j)
      for (const MK3DVertex& p : meshes[j]) {
        // Not a target but a point of the stretched chain at most.
        ASSERT_LE(Distance(p, origin), ChainLength(m, side) + 1e-6);
        MK4x4Matrix target;
        target.BuildFromTrans(p.x, p.y, p.z);
        c->SetTargetMatrix(target);
        c->ResetIKChainWithMiddleDOFValues();
        solver->Resolve();
        const MK3x1Matrix reached = c->GetEndEffectorMatrix().GetTranslation();
        const double miss = Distance(MK3DVertex(reached(0), reached(1), reached(2)), p);
        reachedAgain += miss < 0.2;
        ++tried;
      }
    EXPECT_GE(reachedAgain, 0.9 * tried);
  }
}

// Random postures, constraints, behaviours and tolerances come back exactly;
// arguments that are not one arm's change nothing at all.
TEST(MKBodyReachEnvelope, LeavesTheManikinAsItWas) {
  mktest::Manikin m = mktest::Make(0, 50.0);
  MKBody* body = m->GetBody();
  body->SetMeshResolution(4);
  MKIKManager* solver = m->GetIKManager();
  std::mt19937 rng(4711);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  MKIKConstraint* foot = nullptr;
  MKIKConstraint* head = nullptr;
  ASSERT_EQ(solver->AddConstraint(Segment(m, RSFoTa), Segment(m, SBoPh), MKIKConstraint::sFrame,
                                  foot, nullptr),
            MKStatusSuccess);
  ASSERT_EQ(solver->AddConstraint(Segment(m, SHeFr), Segment(m, SHeNe), MKIKConstraint::sPointing,
                                  head, nullptr),
            MKStatusSuccess);
  for (int round = 0; round < 3; ++round) {
    for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i)
      for (int d = 0; d < 3; ++d)
        if (MKDOF* dof = body->GetSegmentAtIndex(i)->GetDOF(d))
          if (unit(rng) < 0.3)
            dof->SetMathematicalValue(dof->GetMinLim(false) +
                                      unit(rng) * (dof->GetMaxLim(false) - dof->GetMinLim(false)));
    (round % 2 ? foot : head)->Activate();
    (round % 2 ? head : foot)->Deactivate();
    solver->SetBehavior(round == 0 ? 1 : 0x8000 | (round << 1));
    solver->SetIKTolerance(0.001 + 0.01 * unit(rng));
    MK4x4Matrix pelvic;
    pelvic.BuildFromTrans(unit(rng), unit(rng), unit(rng));
    pelvic.RotY(unit(rng));
    solver->SetPelvicFrame(FrameOf(pelvic));
    const PostureState before = StateOf(m);
    // Right hand, then the right forearm (no descendant of itself: refused), then a left finger.
    const MKShortName from[3] = {RSArSc, RSArSc, LSArCl}, to[3] = {RSHaCPr, RSArFAr, LSHaIn2};
    body->BuildReachEnvelope(from[round], to[round], MKFrame());
    EXPECT_TRUE(StateOf(m) == before) << "round " << round;
  }
  ASSERT_EQ(Segment(m, RSBoTst)->GetSkinElement()->GetNumberOfMeshes(), 5u);
  ASSERT_EQ(Segment(m, LSBoTst)->GetSkinElement()->GetNumberOfMeshes(), 5u);

  // Emptied, so that an envelope built again from the same state would show.
  Segment(m, RSBoTst)->InitSkinElement();
  Segment(m, LSBoTst)->InitSkinElement();
  const PostureState before = StateOf(m);
  const struct {
    MKShortName from, to;
  } refused[] = {{LSArAr, RSHaCPr},
                 {SBoTh, LSHaCPr},
                 {RSArAr, RSArAr},
                 {RSArAr, RSFoTa},
                 {static_cast<MKShortName>(500), RSHaCPr},
                 {RSArAr, static_cast<MKShortName>(-3)}};
  for (const auto& args : refused) {
    body->BuildReachEnvelope(args.from, args.to, MKFrame());
    EXPECT_TRUE(StateOf(m) == before) << args.from << " " << args.to;
    EXPECT_EQ(Segment(m, RSBoTst)->GetSkinElement()->GetNumberOfMeshes(), 0u);
    EXPECT_EQ(Segment(m, LSBoTst)->GetSkinElement()->GetNumberOfMeshes(), 0u);
  }
}

}  // namespace
