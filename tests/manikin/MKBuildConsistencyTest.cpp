// The built body must reproduce the dimensions it was built from: for every
// variable drawn on the body, the distance between its anchor points (or the
// perimeter of its ellipse, for a circumference) is compared with its value;
// and its lengths and sections are all usable.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "anthro/MKAnthro.h"
#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "host/KelRawColl.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Ramanujan's perimeter of an ellipse given by its two full axes.
double Perimeter(double majorAxis, double minorAxis) {
  const double a = 0.5 * majorAxis;
  const double b = 0.5 * minorAxis;
  return kPi * (3.0 * (a + b) - std::sqrt((3.0 * a + b) * (a + 3.0 * b)));
}

// What the body shows of a variable; NaN when it shows nothing measurable.
double Measured(MKBody& body, const MKAnthroVariable& variable) {
  if (variable.IsACircumference()) {
    MKEllipse* ellipse = body.GetEllipse(variable.GetCircEllipse());
    return ellipse ? Perimeter(ellipse->GetMajorAxis(), ellipse->GetMinorAxis()) : NAN;
  }
  return variable.GetFirstAnchorPoint().DistanceFrom(variable.GetSecondAnchorPoint());
}

// Standing heights are measured from the floor to a landmark.
bool IsStandingHeight(const MKAnthroVariable& variable) {
  const MKAnthro::AnchorRow* row =
      MKAnthro::GetAnchorRow(static_cast<unsigned int>(variable.GetReferenceNumber()));
  return row && row->axis == 1 && (row->second == RSFoSo || row->second == LSFoSo);
}

// Rows that the body cannot reproduce within the general tolerance, with
// the bound they do keep and why.
struct Explained {
  int referenceNumber;
  double tolerance;
};
constexpr Explained kExplained[] = {
    // One ellipse carries the chest breadth, depth and circumference; the
    // girth rule makes both axes about 11 % larger than measured.
    {33, 0.13},  // <CHSTBDTH>
    {37, 0.12},  // <CHSTDPTH>
    // Shoulder length is taken over the curved shoulder; the anchors give the
    // straight chord from neck to acromion.
    {93, 0.08},  // <SHOULGTH>
    // The extended reach pushes the shoulder girdle out by 20 degrees of
    // clavicle only; the survey's subjects slid their shoulder blades too.
    {133, 0.09},  // <WRWALLEX>
    // Seated, the forearm turns by the arm's rest angle (80 degrees), so
    // the hand stands ten degrees short of thumb-up.
    {58, 0.04},   // <HANDBRTH>
    {131, 0.06},  // <WRTHLGTH>
    // The circumference rule's perimeter approximation falls short on flat
    // ellipses whose other axis is measured (foot breadth, heel breadth,
    // waist breadth and depth).
    {9, 0.03},     // <BLFTCIRC>
    {64, 0.03},    // <HLAKCIRC>
    {115, 0.025},  // <WSCIRCOM>
};

// Allowed relative error of a variable that is not a standing height.
double RelativeTolerance(const MKAnthroVariable& variable) {
  for (const Explained& row : kExplained)
    if (row.referenceNumber == variable.GetReferenceNumber()) return row.tolerance;
  return variable.IsACircumference() ? 0.02 : 0.03;
}

struct Subject {
  int sex;
  double percentile;
};

class MKBuildConsistencyTest : public ::testing::TestWithParam<Subject> {};

TEST_P(MKBuildConsistencyTest, BodyReproducesItsDimensions) {
  const Subject subject = GetParam();
  mktest::Manikin manikin = mktest::Make(subject.sex, subject.percentile);
  MKAnthro* anthro = manikin->GetAnthro();
  MKBody* body = manikin->GetBody();
  for (unsigned int i = 0; i < anthro->GetNumberOfVariables(); ++i) {
    const MKAnthroVariable& variable = *anthro->GetVariableAtIndex(i);
    if (!variable.HasAGraphicalRep()) continue;
    const double value = variable.GetValue();
    const double measured = Measured(*body, variable);
    if (IsStandingHeight(variable)) {
      EXPECT_NEAR(measured, value, 0.5) << variable.GetAcronym().CastToCharPtr();
    } else {
      EXPECT_NEAR(measured, value, RelativeTolerance(variable) * value)
          << variable.GetAcronym().CastToCharPtr();
    }
  }
  // The hip joints stand at the trochanter height plus the hip offset.
  auto value = [anthro](const char* acronym) { return anthro->GetVariable(acronym)->GetValue(); };
  const double offset =
      (subject.sex == 1 ? 0.09 : 0.093) * value("<TROCHHT>") - 0.3 * value("<BISBDTH>");
  const double floor = body->GetSegment(RSFoSo)->GetEndPosition()(1);
  EXPECT_NEAR(body->GetSegment(RSLeTh)->GetOriginPosition()(1) - floor, value("<TROCHHT>") + offset,
              0.5);
  // Every length is finite; only the pelvis root and the scapular joints
  // are points by design; every section is a true ellipse.
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i) {
    MKSegment* s = body->GetSegmentAtIndex(i);
    const MKShortName name = s->GetShortName();
    const bool point = name == SBoPh || name == RSArSc || name == LSArSc;
    EXPECT_TRUE(std::isfinite(s->GetLength())) << s->GetShortNameAsString();
    EXPECT_EQ(s->GetLength() > 0.0, !point) << s->GetShortNameAsString();
    EXPECT_FALSE(s->IsLengthDefaulted());
    for (int e = 0; e < s->GetNumberOfEllipses(); ++e) {
      MKEllipse* el = s->GetEllipseAtIndex(e);
      EXPECT_GT(el->GetMajorAxis(), 0.0) << el->GetShortNameAsString();
      EXPECT_GT(el->GetMinorAxis(), 0.0) << el->GetShortNameAsString();
      EXPECT_FALSE(el->IsInvalid());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(FiveFiftyNinetyFive, MKBuildConsistencyTest,
                         ::testing::Values(Subject{0, 5}, Subject{0, 50}, Subject{0, 95},
                                           Subject{1, 5}, Subject{1, 50}, Subject{1, 95}),
                         [](const ::testing::TestParamInfo<Subject>& info) {
                           return std::string(info.param.sex ? "Male" : "Female") +
                                  std::to_string(static_cast<int>(info.param.percentile));
                         });

}  // namespace
