#include "anthro/MKAnthro.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "math/MK3x1Matrix.h"
#include "math/MKIEEE.h"

namespace {

constexpr MKShortName kNone = static_cast<MKShortName>(-1);

// Where the anchor points of each variable of the built-in population are
// taken, in ascending reference number.
// clang-format off
constexpr MKAnthro::AnchorRow kAnchorRows[] = {
    {2, EBoNi, 1, EBoNi, 2, 2},
    {3, REArAc, 3, RSFoSo, 8, 1},
    {4, REArAc, 3, EBoCr, 1, 1},
    {5, REArAc, 3, REArEl, 6, 1},
    {6, RELeAn, 0, kNone, 0, 4},
    {7, REArAc, 4, RSFoSo, 8, 1},
    {8, REArSc, 0, kNone, 0, 4},
    {9, REFoBa, 0, kNone, 0, 5},
    {10, REFoHAn, 4, REFoBa, 4, 2},
    {11, REArAc, 3, LEArAc, 3, 0},
    {12, REArBi, 0, kNone, 0, 4},
    {13, REArSc, 6, LEArSc, 5, 0},
    {14, REFoHAn, 6, REFoHAn, 5, 0},
    {15, kNone, 0, kNone, 0, 0},
    {24, EBoBu, 0, kNone, 0, 0},
    {25, EBoBu, 2, EBoBu, 1, 2},
    {26, EBoBu, 2, RSFoSo, 8, 1},
    {27, EBoBu, 2, RELeKn, 1, 2},
    {28, EBoBu, 2, RELeBKn, 2, 2},
    {29, RELeCa, 0, kNone, 0, 4},
    {30, RELeCa, 2, RSFoSo, 8, 1},
    {31, SBoT1, 8, RSFoSo, 8, 1},
    {33, EBoCh, 6, EBoCh, 5, 0},
    {34, EBoCh, 0, kNone, 0, 4},
    {35, EBoSc, 0, kNone, 0, 4},
    {36, EBoBb, 0, kNone, 0, 4},
    {37, EBoCh, 2, EBoCh, 1, 2},
    {38, EBoCh, 5, LSFoSo, 8, 1},
    {39, EBoCr, 5, LSFoSo, 8, 1},
    {48, REArEl, 0, kNone, 0, 4},
    {50, RSHeEye, 8, EBoCr, 2, 1},
    {51, REFoBa, 6, REFoBa, 5, 0},
    {52, REFoHAn, 4, RSFoTo, 8, 2},
    {53, REArFAr, 0, kNone, 0, 3},
    {55, REArEl, 2, RSHaMi3, 8, 2},
    {58, REHaIn1, 3, REHaAu1, 4, 1},
    {59, REHaPa, 0, kNone, 0, 3},
    {60, RSArFAr, 8, RSHaMi3, 8, 2},
    {61, EHeFh, 6, EHeFh, 5, 0},
    {63, EHeGl, 2, EHeGl, 1, 2},
    {64, REFoHAn, 0, kNone, 0, 3},
    {65, LEFoHAn, 6, LEFoHAn, 5, 0},
    {66, RELeCr, 6, LELeCr, 5, 0},
    {67, RELeHi, 6, LELeHi, 5, 0},
    {68, kNone, 0, kNone, 0, 0},
    {69, RSHeEye, 8, LSHeEye, 8, 0},
    {70, EBoSc, 6, EBoSc, 5, 0},
    {72, RELeKn, 0, kNone, 0, 4},
    {73, RELeKn, 1, RSFoSo, 8, 1},
    {74, RELeTKn, 3, RSFoSo, 8, 1},
    {75, RSLeTh, 8, RSFoSo, 8, 1},
    {76, RSLeLe, 8, RSFoSo, 8, 1},
    {77, RELeTKn, 0, kNone, 0, 4},
    {79, REArMSh, 3, EBoCr, 1, 1},
    {81, EHeNe, 0, kNone, 0, 4},
    {82, EBoNe, 0, kNone, 0, 4},
    {83, EBoNe, 5, RSFoSo, 8, 1},
    {87, RELeBKn, 5, RSFoSo, 8, 1},
    {88, RSArAr, 8, RSArFAr, 8, 3},
    {89, REArAc, 0, kNone, 0, 5},
    {92, REArAc, 3, REArFAr, 4, 1},
    {93, REArAc, 3, EBoNe, 6, 3},
    {94, SHeTo, 8, EBoCr, 2, 1},
    {98, REArAc, 3, REArWr, 3, 3},
    {99, RSHaMi3, 8, LSHaMi3, 8, 0},
    {100, SHeTo, 8, RSFoSo, 8, 1},
    {103, kNone, 0, kNone, 0, 0},
    {104, RELeCr, 0, kNone, 0, 4},
    {105, RELeCr, 3, RELeCr, 4, 1},
    {106, REHaTh2, 3, REHaTh2, 4, 1},
    {107, EBoSc, 2, RSHaTh3, 8, 2},
    {108, RSBoIlp, 8, RSFoSo, 8, 1},
    {113, EBoOm, 6, EBoOm, 5, 0},
    {115, EBoOm, 0, kNone, 0, 4},
    {116, EBoOm, 1, EBoOm, 2, 2},
    {120, EBoOm, 5, RSFoSo, 8, 1},
    {122, EBoOm, 2, EBoCr, 2, 1},
    {125, kNone, 0, kNone, 0, 0},
    {126, RSArFAr, 8, RSHaCPr, 8, 2},
    {127, REArWr, 0, kNone, 0, 4},
    {130, RSArFAr, 8, RSHaIn3, 8, 2},
    {131, RSArFAr, 8, RSHaTh3, 8, 2},
    {132, EBoSc, 2, REArWr, 3, 2},
    {133, EBoSc, 2, LEArWr, 3, 2},
    {212, EHeSt, 6, EHeSt, 5, 0},
    {215, RSHeTrg, 8, LSHeTrg, 8, 0},
    {216, EHeNo, 6, EHeNo, 5, 0},
    {233, SHeFr, 8, SHeTo, 8, 1},
    {236, EHeGl, 2, EHeGl, 1, 2},
    {237, EHeGl, 1, SHeTo, 8, 1},
    {240, SHeFr, 8, EHeEy, 2, 2},
    {242, EHeCh, 1, EHeEy, 2, 2},
    {243, EHeCh, 1, SHeTo, 8, 1},
    {244, EHeMe, 1, EHeEy, 2, 2},
    {245, EHeMe, 1, SHeTo, 8, 1},
    {246, EHeNo, 1, EHeEy, 2, 2},
    {247, EHeNo, 1, SHeTo, 8, 1},
    {248, EHeEy, 1, EHeEy, 2, 2},
    {249, EHeEy, 1, SHeTo, 8, 1},
    {250, EHeSt, 1, EHeEy, 2, 2},
    {251, EHeSt, 1, SHeTo, 8, 1},
    {254, RSHeTrg, 8, EHeEy, 2, 2},
    {255, RSHeTrg, 8, SHeTo, 8, 1},
};
// clang-format on

// Reaches and the span are measured with the arms stretched out, which
// neither the standing nor the sitting posture gives: these rows take the
// body's arm postures instead.
struct ReachPosture {
  unsigned int referenceNumber;
  int posture;
};
constexpr ReachPosture kReachPostures[] = {
    {99, 5},   // <SPAN>: both arms out sideways
    {107, 3},  // <THMBTPR>: both arms forward
    {132, 3},  // <WRWALLLN>: both arms forward
    {133, 4},  // <WRWALLEX>: left arm forward, its shoulder pushed out
};

MKPostureSpec AnchorPosture(const MKAnthroVariable& variable) {
  for (const ReachPosture& reach : kReachPostures)
    if (static_cast<int>(reach.referenceNumber) == variable.GetReferenceNumber())
      return static_cast<MKPostureSpec>(reach.posture);
  return variable.GetAnchorPointPosture();
}

constexpr int kSegmentEnd = 8;
constexpr unsigned int kScyeCircumference = 89;
constexpr unsigned int kAcromionRadialeLength = 5;
constexpr unsigned int kTrochanterHeight = 108;
constexpr double kTolerance = 0.001;

MK3DVertex NaNPoint() {
  return MK3DVertex(MKIEEE::NaN(), MKIEEE::NaN(), MKIEEE::NaN());
}

MK3DVertex SegmentEnd(MKBody& body, MKShortName name) {
  MKSegment* segment = body.GetSegment(name);
  if (!segment) return NaNPoint();
  const MK3x1Matrix end = segment->GetEndPosition();
  return MK3DVertex(end(0), end(1), end(2));
}

// An ellipse position (codes 1 to `lastEllipseCode`) or a segment end
// (code 8) in world coordinates; NaN for anything else.
MK3DVertex Measure(MKBody& body, MKShortName name, int code, int lastEllipseCode) {
  if (name == kNone) return NaNPoint();
  if (code == kSegmentEnd) return SegmentEnd(body, name);
  if (code < 1 || code > lastEllipseCode) return NaNPoint();
  MKEllipse* ellipse = body.GetEllipse(name);
  if (!ellipse) return NaNPoint();
  return ellipse->GetPosition(static_cast<MKPositionSpec>(code), MKGlobalSpace);
}

// Moves `moved`'s y so that its y-distance to `fixed` is `distance`, on the
// side where it already lies (above when level).
void SetVerticalDistance(MK3DVertex& moved, const MK3DVertex& fixed, double distance) {
  moved.y = moved.y >= fixed.y ? fixed.y + distance : fixed.y - distance;
}

}  // namespace

MKStatus MKAnthro::UpdateAnchorPoints() {
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!body) return MKStatusFailure;
  // Anchor postures must be reachable whatever limits the user set.
  const std::vector<MKBody::SavedDOFState> saved = body->SaveAndFreeDOFs();
  // Variables are measured posture by posture, so that the body is posed
  // once per posture rather than once per variable.
  struct Work {
    MKPostureSpec posture;
    MKAnthroVariable* variable;
    const AnchorRow* row;
  };
  std::vector<Work> work;
  for (unsigned int i = 0; i < GetNumberOfVariables(); ++i) {
    MKAnthroVariable* variable = GetVariableAtIndex(i);
    const AnchorRow* row =
        variable ? GetAnchorRow(static_cast<unsigned int>(variable->GetReferenceNumber()))
                 : nullptr;
    if (row) work.push_back({AnchorPosture(*variable), variable, row});
  }
  std::stable_sort(work.begin(), work.end(),
                   [](const Work& a, const Work& b) { return a.posture < b.posture; });
  bool posed = false;
  MKPostureSpec current = MKPostureNone;
  for (const Work& item : work) {
    if (item.posture != MKPostureNone && (!posed || item.posture != current)) {
      body->SetPosture(item.posture);
      posed = true;
      current = item.posture;
    }
    MeasureAnchorPoints(*item.variable, *item.row);
  }
  MKBody::RestoreDOFs(saved);
  return MKStatusSuccess;
}

void MKAnthro::CalculateAnchorPoints(unsigned int referenceNumber, MKShortName first,
                                     int firstPosition, MKShortName second, int secondPosition,
                                     int axis) {
  MKAnthroVariable* variable = GetVariableFromRefNumber(referenceNumber);
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!variable || !body) return;
  const MKPostureSpec posture = AnchorPosture(*variable);
  if (posture != MKPostureNone) body->SetPosture(posture);
  const AnchorRow row{referenceNumber, first, firstPosition, second, secondPosition, axis};
  MeasureAnchorPoints(*variable, row);
}

void MKAnthro::MeasureAnchorPoints(MKAnthroVariable& variable, const AnchorRow& row) {
  MKBody& body = *manikin->GetBody();
  MK3DVertex p1 = Measure(body, row.first, row.firstPosition, 7);
  MK3DVertex p2 = Measure(body, row.second, row.secondPosition, 6);
  if (row.first != kNone && row.second != kNone) {
    switch (row.axis) {
      case 0:
        p2.y = p1.y;
        p2.z = p1.z;
        break;
      case 1:
        p2.x = p1.x;
        p2.z = p1.z;
        break;
      case 2:
        p2.x = p1.x;
        p2.y = p1.y;
        break;
      case 3:
        p2.z = p1.z;
        break;
      default:
        break;
    }
  }

  if (row.referenceNumber == kScyeCircumference) {
    // The scye is drawn about the acromion ellipse of the upper arm, checked
    // against the acromion-radiale length down to the elbow joint.
    const MKSegment* clavicle = body.GetSegment(RSArCl);
    MKEllipse* acromion = clavicle ? body.GetEllipse(REArAc) : nullptr;
    const MKAnthroVariable* length = GetVariableFromRefNumber(kAcromionRadialeLength);
    if (acromion && length) {
      p1 = acromion->GetPosition(MKPositionHighestY, MKGlobalSpace);
      p2 = SegmentEnd(body, RSArAr);
      const double d = length->GetValue() - std::fabs(p1.y - p2.y);
      if (std::fabs(d) > kTolerance) p1 = MK3DVertex(0.0, d, 0.0);
    }
  } else if (row.first == REArAc && row.axis == 1) {
    // The acromion ellipse's top is not the acromion landmark itself.
    SetVerticalDistance(p1, p2, variable.GetValue());
  } else if (row.referenceNumber == kTrochanterHeight) {
    const double d = variable.GetValue() - std::fabs(p1.y - p2.y);
    if (std::fabs(d) > kTolerance) SetVerticalDistance(p1, p2, variable.GetValue());
  }

  variable.InitAnchorPoints(p1, p2);
  if (variable.IsACircumference()) variable.SetCircEllipse(row.first);
}

const MKAnthro::AnchorRow* MKAnthro::GetAnchorRow(unsigned int referenceNumber) {
  for (const AnchorRow& row : kAnchorRows)
    if (row.referenceNumber == referenceNumber) return &row;
  return nullptr;
}
