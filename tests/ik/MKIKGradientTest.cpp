// Potentials of every target type and their analytic gradient, checked
// against central finite differences on random chains and on the body's own
// arm, spine, leg and head chains; exact edge values; degenerate inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "body/MKBody.h"
#include "ik/MKIKTestSupport.h"
#include "vision/MKLineOfSight.h"

using mkiktest::AllTypes;
using mkiktest::GradientError;
using mkiktest::RandomFrame;
using mkiktest::ToFrame;

namespace {

// Whether a finite difference could straddle a kink of the potential.
bool NearKink(const MKIKConstraint& c) {
  const MK4x4Matrix d = c.GetDifferenceMatrix();
  const MK4x4Matrix& t = c.GetTargetMatrix();
  const double p = d(3, 0) * t(2, 0) + d(3, 1) * t(2, 1) + d(3, 2) * t(2, 2);
  const double margin = 0.05;
  switch (c.GetTargetType()) {
    case 137:
    case 152:
      return std::fabs(p) < margin || std::fabs(p + c.GetRange()) < margin;
    case 1152:
      return std::fabs(p) < margin;
    default:
      return false;
  }
}

// A random target, offset and weights for the constraint.
void Randomise(MKIKConstraint& c, std::mt19937& rng) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  c.SetOffsetMatrix(ToFrame(RandomFrame(rng, 5.0)));
  c.SetWeight(0.2 + 0.8 * unit(rng));
  c.SetPositionWeight(unit(rng));
  c.SetRange(5.0 + 55.0 * unit(rng));
  do {
    c.SetTargetMatrix(ToFrame(RandomFrame(rng, 60.0)));
  } while (NearKink(c));
}

// Lengths, fixed rotations and open limits everywhere, random values.
void Shape(MKBody& body, std::mt19937& rng) {
  std::uniform_real_distribution<double> unit(0.0, 1.0), degrees(-60.0, 60.0);
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i)
    body.GetSegmentAtIndex(i)->SetLength(3.0 + 12.0 * unit(rng));
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i) {
    MKSegment* s = body.GetSegmentAtIndex(i);
    s->SetRotation(degrees(rng), degrees(rng), degrees(rng));
    for (int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = s->GetDOF(axis)) mkiktest::Open(dof, 1.0, 1.0, -0.8 + 1.6 * unit(rng));
  }
}

}  // namespace

// On random chains the gradient matches a finite difference of the
// potential. On a met target the residuals vanish, so the solver's
// Gauss-Newton matrix is the Hessian of weight x potential there; the line
// segment and half-space types are left out of that: their met target lies
// on a kink.
TEST(MKIKGradientTest, RandomChainsMatchFiniteDifferencesOfPotentialAndGradient) {
  std::mt19937 rng(20240607);
  for (int n = 1; n <= 12; ++n) {
    for (int trial = 0; trial < 3; ++trial) {
      mkiktest::Chain chain(rng, n);
      MKIKManager manager(nullptr);
      for (int type : AllTypes()) {
        SCOPED_TRACE(::testing::Message() << "type " << type << ", " << n << " DOFs");
        MKIKConstraint* c = nullptr;
        ASSERT_EQ(manager.AddConstraint(chain.Tip(), chain.Root(), type, c, nullptr),
                  MKStatusSuccess);
        c->Activate();
        ASSERT_EQ(MKIKManagerAccess::GetVariableCount(manager), n);
        Randomise(*c, rng);
        const std::vector<MKDOF*> dofs = mkiktest::DrivenDOFs(manager);
        EXPECT_LT(GradientError(*c, dofs), 1e-5);
        if (trial == 0 && type != 137 && type != 152 && type != 1152) {
          // Met; Pointing, to have a direction to follow, 30 along its Z.
          MK4x4Matrix target = c->GetEndEffectorMatrix();
          if (type == 128)
            for (int k = 0; k < 3; ++k) target(3, k) += 30.0 * target(2, k);
          c->SetTargetMatrix(target);
          EXPECT_LT(mkiktest::CurvatureError(*c, dofs), 1e-5);
        }
        manager.RemoveAllConstraints();
      }
    }
  }
}

// The body's own chains with pure masters, thumbs and the left side, and a
// line of sight that aims with its own two DOFs, then the head and the neck.
TEST(MKIKGradientTest, BodyChainsAndLinesOfSightMatch) {
  std::mt19937 rng(7);
  MKBody body(nullptr, 1, 0);
  Shape(body, rng);
  MKSegment* eye = body.GetSegment(RSHeEye);
  MKLineOfSight line(MLHeEye);
  line.InitData(nullptr, eye, 0.1, -0.2);
  eye->AddChild(&line);
  line.SetLength(45.0);
  for (unsigned int i = 0; i < 2; ++i) {
    line.AddDOF(static_cast<int>(i), 0, 0.0, nullptr);
    mkiktest::Open(line.GetDOF(i), 0.8, 0.8, i == 0 ? 0.4 : -0.3);
  }
  const MKShortName chains[][2] = {{RSHaTh3, RSArCl}, {LSHaTh3, LSArCl}, {RSHaIn3, SBoL5},
                                   {LSFoTo, LSLeTh},  {RSFoTo, RSLeTh},  {SHeFr, SHeNe}};
  for (const auto& chain : chains) {
    for (int type : AllTypes()) {
      MKIKManager manager(nullptr);
      MKIKConstraint* c = nullptr;
      ASSERT_EQ(manager.AddConstraint(body.GetSegment(chain[0]), body.GetSegment(chain[1]), type, c,
                                      nullptr),
                MKStatusSuccess);
      c->Activate();
      Randomise(*c, rng);
      EXPECT_LT(GradientError(*c, mkiktest::DrivenDOFs(manager)), 1e-5)
          << MKConvertShortNameToString(chain[0]) << " type " << type;
    }
  }
  MKIKManager manager(nullptr);
  MKIKConstraint* c = nullptr;
  ASSERT_EQ(manager.AddConstraint(&line, body.GetSegment(SHeNe), 8, c, nullptr), MKStatusSuccess);
  EXPECT_EQ(c->GetTargetType(), 128);
  EXPECT_EQ(c->GetOffsetMatrix()(3, 2), 45.0);
  c->Activate();
  EXPECT_EQ(MKIKManagerAccess::GetVariableCount(manager), 2 + 3 + 3);
  for (int type : AllTypes()) {
    c->SetTargetType(type);
    Randomise(*c, rng);
    EXPECT_LT(GradientError(*c, mkiktest::DrivenDOFs(manager)), 1e-5) << "line, type " << type;
  }
}

TEST(MKIKGradientTest, EdgePotentialsHoldExactly) {
  MKSegment root(nullptr, SBoPh, 0, nullptr);
  root.SetLength(10.0);  // the tip, where the end-effector frame sits, is (0, 0, 10)
  // Pointing at the end effector's own origin has no direction to follow.
  MKIKConstraint pointing(nullptr, &root, &root, 128, "q");
  EXPECT_EQ(pointing.ComputePotential(), 0.0);
  EXPECT_EQ(pointing.GetRotationPotential(), 0.0);
  pointing.SetTargetPosition(0.0, 0.0, 30.0);  // straight ahead along Z
  EXPECT_EQ(pointing.ComputePotential(), 0.0);
  pointing.SetTargetPosition(0.0, 0.0, -30.0);  // straight behind
  EXPECT_NEAR(pointing.ComputePotential(), 4.0 * MKIKConstraint::sRotationWeightFactor, 1e-9);

  // A segment of the line along +Z, 26 long: beyond its end, the distance
  // to the end point; before its start, to the start point.
  MKIKConstraint line(nullptr, &root, &root, 137, "l");
  ASSERT_EQ(line.SetTargetLine(MK3DVertex(3, 0, -20), MK3DVertex(3, 0, 6)), MKStatusSuccess);
  EXPECT_EQ(line.GetRange(), 26.0);
  EXPECT_EQ(line.ComputePotential(), 25.0);
  line.SetTargetLine(MK3DVertex(3, 0, 14), MK3DVertex(3, 0, 40));
  EXPECT_EQ(line.ComputePotential(), 25.0);
  line.SetTargetLine(MK3DVertex(3, 0, 0), MK3DVertex(3, 0, 20));
  EXPECT_EQ(line.ComputePotential(), 9.0);

  // The half-space keeps the side where the target's Z points from the
  // effector towards the plane; the other side costs nothing.
  MKIKConstraint half(nullptr, &root, &root, 1152, "h");
  half.SetTargetPosition(0.0, 0.0, 0.0);
  EXPECT_EQ(half.ComputePotential(), 0.0);
  half.SetTargetPosition(0.0, 0.0, 13.0);
  EXPECT_EQ(half.ComputePotential(), 9.0);
  EXPECT_EQ(half.GetRotationPotential(), 9.0);
  EXPECT_EQ(half.GetPositionPotential(), 0.0);
}

TEST(MKIKGradientTest, DegenerateCasesStayFinite) {
  std::mt19937 rng(11);
  mkiktest::Chain chain(rng, 6);
  MKIKManager manager(nullptr);
  for (int type : AllTypes()) {
    MKIKConstraint* c = nullptr;
    manager.AddConstraint(chain.Tip(), chain.Root(), type, c, nullptr);
    c->Activate();
    const std::vector<MKDOF*> dofs = mkiktest::DrivenDOFs(manager);
    std::vector<double> g(dofs.size(), 0.0);
    // On its target: nothing to pull.
    EXPECT_EQ(c->ComputePotential(), 0.0) << type;
    c->ComputeGradient(g.data());
    for (double v : g) EXPECT_EQ(v, 0.0) << type;
    // A null target frame, and a target just off the effector's origin.
    MK4x4Matrix null;
    c->SetTargetMatrix(null);
    EXPECT_TRUE(std::isfinite(c->ComputePotential())) << type;
    const MK4x4Matrix e = c->GetEndEffectorMatrix();
    MK4x4Matrix near = e;
    near(3, 0) += 1e-9;
    c->SetTargetMatrix(near);
    c->ComputeGradient(g.data());
    EXPECT_TRUE(std::isfinite(c->ComputePotential())) << type;
    for (double v : g) EXPECT_TRUE(std::isfinite(v)) << type;
    manager.RemoveAllConstraints();
  }
  // A line through one point has no direction: its target frame stays a frame.
  MKIKConstraint line(nullptr, chain.Tip(), chain.Tip(), 137, "l");
  ASSERT_EQ(line.SetTargetLine(MK3DVertex(1, 1, 1), MK3DVertex(1, 1, 1)), MKStatusSuccess);
  const MK4x4Matrix& t = line.GetTargetMatrix();
  EXPECT_NEAR(t.GetXAxis().VectProd(t.GetYAxis()).DistanceFrom(t.GetZAxis()), 0.0, 1e-12);
  EXPECT_TRUE(std::isfinite(line.ComputePotential()));
}
