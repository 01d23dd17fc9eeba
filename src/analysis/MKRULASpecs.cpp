#include "analysis/MKRULASpecs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/detail/MKRunAngle.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "math/MKIEEE.h"
#include "math/MKUnitConversions.h"

namespace {

constexpr double kInfinity = HUGE_VAL;
// Left limb segments follow the right ones at this distance in short names.
constexpr int kLeftOffset = 32;
// Share of a joint limit below which a posture question is not asked.
constexpr double kNeutralShare = 0.05;
constexpr double kMaxWristNeutralDegrees = 15.0;
constexpr double kMaxTrunkNeutralDegrees = 20.0;

double Radians(double degrees) {
  return MKUnitConversions::DegreesToRadians(degrees);
}

double CurrentValue(const MKDOF& dof) {
  return dof.GetMathematicalValue();
}

double MaxLimit(const MKDOF& dof) {
  return dof.GetMaxLimNoCoupling(true);
}

// The attributes that ask a question of the posture: a value and a threshold.
bool IsQuestion(int attr) {
  switch (attr) {
    case MKKRULAShoulderRaised:
    case MKKRULAArmAbducted:
    case MKKRULAWristBent:
    case MKKRULAWristTwisted:
    case MKKRULAArmOutToSide:
    case MKKRULANeckTwisted:
    case MKKRULANeckSideBending:
    case MKKRULATrunkTwisted:
    case MKKRULATrunkSideBending:
      return true;
    default:
      return false;
  }
}

bool HasValue(int attr) {
  return attr >= 0 && attr < 16 && attr != MKKRULALoad;
}

bool HasDouble(int attr) {
  return IsQuestion(attr) || attr == MKKRULALoad;
}

bool AcceptsValue(int attr, int value) {
  if (IsQuestion(attr))
    return value == MKKRULANo || value == MKKRULAYes || value == MKKRULAAutomatic;
  if (attr == MKKRULALoadMode) return value >= MKKRULAStatic && value <= MKKRULARepeatedOrShock;
  if (attr == MKKRULASide) return value == MKKRULALeft || value == MKKRULARight;
  return value == MKKRULANo || value == MKKRULAYes;
}

// Whether a posture question holds: yes, or automatic and the measure
// (its magnitude, for the questions without a side) reaches the threshold.
template <typename Measure>
bool Answer(int value, double threshold, bool magnitude, Measure measure) {
  if (value == MKKRULAYes) return true;
  if (value != MKKRULAAutomatic) return false;
  const double m = measure();
  return (magnitude ? std::fabs(m) : m) >= threshold;
}

// A zone's score as the unsigned score of a range; 0 outside 0 .. 2^32 - 1.
unsigned int RangeScore(double score) {
  return score >= 0.0 && score < 4294967296.0 ? static_cast<unsigned int>(score) : 0u;
}

// What each part is measured on, by its right-side segment.
constexpr MKShortName kArmSegments[] = {RSArAr, RSArFAr, RSHaCPr};

}  // namespace

MKRULASpecs* MKRULASpecs::Create(MKBody* body) {
  return new MKRULASpecs(body);
}

void MKRULASpecs::Destroy() {
  delete this;
}

MKRULASpecs::MKRULASpecs(MKBody* target) : body(target) {
  std::fill(std::begin(colors), std::end(colors), -1);
  std::fill(std::begin(colorScores), std::end(colorScores), -1);
  Reset();
  if (!body) return;
  for (int side = 0; side < 2; ++side) {
    for (int part = UpperArm; part <= Wrist; ++part) {
      const MKSegment* segment = body->GetSegment(
          static_cast<MKShortName>(kArmSegments[part] + (side == 1 ? kLeftOffset : 0)));
      const MKDOF* dof = segment ? segment->GetDOF(0) : nullptr;
      if (!dof) continue;
      MKDOF* copy = dof->CloneDetached();
      // The wrist's neutral range, a little play about 0.
      const double neutralWidth =
          std::min(std::fabs(MaxLimit(*dof)) * kNeutralShare, Radians(kMaxWristNeutralDegrees));
      InstallDefaultRanges(static_cast<Part>(part), copy, neutralWidth);
      armCopies[side][part] = copy;
    }
  }
  // The lumbar vertebrae's play, shared by the trunk's neutral range.
  double lumbar = 0.0;
  for (MKShortName name : {SBoL5, SBoL4, SBoL3, SBoL2, SBoL1})
    if (const MKSegment* s = body->GetSegment(name))
      if (const MKDOF* dof = s->GetDOF(0)) lumbar += MaxLimit(*dof);
  const double trunkWidth = std::min(lumbar * kNeutralShare, Radians(kMaxTrunkNeutralDegrees));
  for (Part part : {Neck, Trunk}) {
    const MKSegment* segment = body->GetSegment(part == Neck ? SHeNe : SBoL5);
    const MKDOF* dof = segment ? segment->GetDOF(0) : nullptr;
    if (!dof) continue;
    MKDOF* copy = dof->CloneDetached();
    // A run's angle lies within a half turn either way.
    copy->UnlockLimits();
    copy->SetMaxLim(M_PI);
    copy->SetMinLim(M_PI);
    InstallDefaultRanges(part, copy, trunkWidth);
    (part == Neck ? neckCopy : trunkCopy) = copy;
  }
}

MKRULASpecs::~MKRULASpecs() {
  for (auto& side : armCopies)
    for (MKDOF* copy : side)
      if (copy) copy->Destroy();
  for (MKDOF* copy : {neckCopy, trunkCopy})
    if (copy) copy->Destroy();
}

void MKRULASpecs::InstallDefaultRanges(Part part, MKDOF* copy, double neutralWidth) {
  struct Range {
    double min, max;  // degrees
    unsigned int score;
  };
  const double inf = kInfinity, w = MKUnitConversions::RadiansToDegrees(neutralWidth);
  std::vector<Range> ranges;
  switch (part) {
    case UpperArm:
      ranges = {{90, inf, 4}, {45, 90, 3}, {20, 45, 2}, {-20, 20, 1}, {-inf, -20, 2}};
      break;
    case LowerArm:
      ranges = {{100, inf, 2}, {60, 100, 1}, {-inf, 60, 2}};
      break;
    case Wrist:
      ranges = {{15, inf, 3}, {w, 15, 2}, {-w, w, 1}, {-15, -w, 2}, {-inf, -15, 3}};
      break;
    case Neck:
      ranges = {{20, inf, 3}, {10, 20, 2}, {0, 10, 1}, {-inf, 0, 4}};
      break;
    default:
      ranges = {{60, inf, 4}, {20, 60, 3}, {w, 20, 2}, {0, w, 1}, {-inf, 0, 1}};
      break;
  }
  copy->RemoveAllPrefAngles();
  copy->InitializePrefAngles();
  for (const Range& r : ranges) AddRange(copy, part, Radians(r.min), Radians(r.max), r.score);
}

void MKRULASpecs::Reset() {
  std::fill(std::begin(values), std::end(values), static_cast<int>(MKKRULANo));
  std::fill(std::begin(thresholds), std::end(thresholds), MKIEEE::NaN());
  for (int attr = 0; attr < kAttributes; ++attr)
    if (IsQuestion(attr)) values[attr] = MKKRULAAutomatic;
  values[MKKRULAMuscleUse] = MKKRULAYes;
  values[MKKRULALoadMode] = MKKRULAStatic;
  values[MKKRULASide] = MKKRULARight;
  thresholds[MKKRULALoad] = 0.0;
  if (!body) return;
  const auto limit = [this](MKShortName segment, int axis, bool maxSide) {
    const MKSegment* s = body->GetSegment(segment);
    const MKDOF* dof = s ? s->GetDOF(axis) : nullptr;
    if (!dof) return MKIEEE::NaN();
    return maxSide ? dof->GetMaxLimNoCoupling(true) : dof->GetMinLimNoCoupling(true);
  };
  const auto runMaximum = [this](MKShortName first, MKShortName last, int axis) {
    return std::fabs(MKRunAngle(*body, first, last, axis, MaxLimit));
  };
  thresholds[MKKRULAShoulderRaised] = kNeutralShare * limit(RSArCl, 1, true);
  thresholds[MKKRULAArmAbducted] = kNeutralShare * limit(RSArAr, 1, true);
  thresholds[MKKRULAWristBent] = kNeutralShare * limit(RSHaCPr, 1, true);
  thresholds[MKKRULAWristTwisted] = (1.0 - kNeutralShare) * limit(RSArFAr, 2, true);
  thresholds[MKKRULAArmOutToSide] = 0.5 * limit(RSArAr, 2, false);
  thresholds[MKKRULANeckTwisted] = kNeutralShare * runMaximum(SHeNe, SHeCg, 2);
  thresholds[MKKRULANeckSideBending] = kNeutralShare * runMaximum(SHeNe, SHeCg, 1);
  thresholds[MKKRULATrunkTwisted] = kNeutralShare * runMaximum(SBoL5, SBoT1, 2);
  thresholds[MKKRULATrunkSideBending] = kNeutralShare * runMaximum(SBoL5, SBoT1, 1);
}

MKStatus MKRULASpecs::SetSpec(const MKKERULAAttr& attr, const MKKERULAValue& value) {
  if (!HasValue(attr)) return MKStatusNoRULAResult;
  if (!AcceptsValue(attr, value)) return MKStatusValueRefused;
  values[attr] = value;
  return MKStatusSuccess;
}

MKStatus MKRULASpecs::SetSpec(const MKKERULAAttr& attr, double value) {
  if (!HasDouble(attr)) return MKStatusNoRULAResult;
  if (!(value >= 0.0)) return MKStatusValueRefused;
  thresholds[attr] = value;
  return MKStatusSuccess;
}

MKStatus MKRULASpecs::GetSpec(const MKKERULAAttr& attr, MKKERULAValue& value) const {
  if (!HasValue(attr)) return MKStatusNoRULAResult;
  value = static_cast<MKKERULAValue>(values[attr]);
  return MKStatusSuccess;
}

MKStatus MKRULASpecs::GetSpec(const MKKERULAAttr& attr, double& value) const {
  if (!HasDouble(attr)) {
    value = MKIEEE::NaN();
    return MKStatusNoRULAResult;
  }
  value = thresholds[attr];
  return MKStatusSuccess;
}

MKStatus MKRULASpecs::GetDefaultPercentage(const MKKERULAAttr& attr, double& percentage) {
  switch (attr) {
    case MKKRULAShoulderRaised:
      percentage = 17.459;
      break;
    case MKKRULAArmAbducted:
      percentage = 22.449;
      break;
    case MKKRULAWristBent:
      percentage = 43.0;
      break;
    case MKKRULAWristTwisted:
      percentage = 95.0;
      break;
    case MKKRULAArmOutToSide:
      percentage = 21.2393;
      break;
    case MKKRULANeckTwisted:
    case MKKRULANeckSideBending:
      percentage = 52.5;
      break;
    default:
      percentage = MKIEEE::NaN();
      return MKStatusNoRULAResult;
  }
  return MKStatusSuccess;
}

int MKRULASpecs::TopScore(Part part) {
  constexpr int kTop[] = {6, 3, 4, 6, 6, 2};
  return kTop[part];
}

bool MKRULASpecs::ToPart(const MKKEBodyPart& part, Part& p) {
  switch (part) {
    case MKKUpperArm:
      p = UpperArm;
      return true;
    case MKKForearm:
      p = LowerArm;
      return true;
    case MKKWrist:
      p = Wrist;
      return true;
    case MKKNeck:
      p = Neck;
      return true;
    case MKKTrunk:
      p = Trunk;
      return true;
    default:
      return false;
  }
}

int MKRULASpecs::SideIndex() const {
  return values[MKKRULASide] == MKKRULALeft ? 1 : 0;
}

MKShortName MKRULASpecs::OnSide(MKShortName right) const {
  return static_cast<MKShortName>(right + (SideIndex() == 1 ? kLeftOffset : 0));
}

MKDOF* MKRULASpecs::Copy(Part part) const {
  if (part == Neck) return neckCopy;
  if (part == Trunk) return trunkCopy;
  return part < Neck ? armCopies[SideIndex()][part] : nullptr;
}

MKDOF* MKRULASpecs::GetDOF(const MKKEBodyPart& part) const {
  Part p;
  return ToPart(part, p) ? Copy(p) : nullptr;
}

MKStatus MKRULASpecs::AddRange(MKDOF* copy, Part part, double min, double max, unsigned int score) {
  if (!(min <= max) || score < 1 || static_cast<int>(score) > TopScore(part))
    return MKStatusValueRefused;
  const double low = std::max(min, -copy->GetMinLim(false));
  const double high = std::min(max, copy->GetMaxLim(false));
  if (!(low < high) || !copy->InsertPrefAngle(high, low, score)) return MKStatusValueRefused;
  return MKStatusSuccess;
}

MKStatus MKRULASpecs::SetSpec(const MKKEBodyPart& part, double min, double max,
                              unsigned int score) {
  Part p;
  MKDOF* copy = ToPart(part, p) ? Copy(p) : nullptr;
  if (!copy) return MKStatusNoRULAResult;
  return AddRange(copy, p, min, max, score);
}

MKStatus MKRULASpecs::SetSpecInDegrees(const MKKEBodyPart& part, double min, double max,
                                       unsigned int score) {
  return SetSpec(part, Radians(min), Radians(max), score);
}

unsigned int MKRULASpecs::GetNumberOfAngleRanges(const MKKEBodyPart& part) const {
  const MKDOF* copy = GetDOF(part);
  return copy ? copy->GetNumberOfPrefAngles() : 0;
}

MKStatus MKRULASpecs::GetAngleRangeAtIndex(const MKKEBodyPart& part, unsigned int index,
                                           double& min, double& max, unsigned int& score) const {
  const MKDOF* copy = GetDOF(part);
  const MKPrefAngle* zone = copy ? copy->GetPrefAngle(index) : nullptr;
  if (!zone) return MKStatusNoRULAResult;
  min = zone->GetMin();
  max = zone->GetMax();
  score = RangeScore(zone->GetScore());
  return MKStatusSuccess;
}

double MKRULASpecs::BodyValue(MKShortName segment, int axis) const {
  const MKSegment* s = body ? body->GetSegment(segment) : nullptr;
  const MKDOF* dof = s ? s->GetDOF(axis) : nullptr;
  return dof ? dof->GetMathematicalValue() : MKIEEE::NaN();
}

double MKRULASpecs::MeasuredAngle(Part part) const {
  if (part == Neck || part == Trunk) return RunValue(part, 0);
  return BodyValue(OnSide(kArmSegments[part]), 0);
}

MKStatus MKRULASpecs::GetScore(const MKKEBodyPart& part, double& angle, unsigned int& score) {
  angle = MKIEEE::NaN();
  score = static_cast<unsigned int>(-1);
  Part p;
  MKDOF* copy = ToPart(part, p) ? Copy(p) : nullptr;
  const double measured = copy ? MeasuredAngle(p) : MKIEEE::NaN();
  if (std::isnan(measured)) return MKStatusNoRULAResult;
  angle = measured;
  copy->SetMathematicalValue(measured);
  score = RangeScore(copy->GetScore());
  return MKStatusSuccess;
}

double MKRULASpecs::RunValue(Part part, int axis) const {
  if (!body) return MKIEEE::NaN();
  return part == Neck ? MKRunAngle(*body, SHeNe, SHeCg, axis, CurrentValue)
                      : MKRunAngle(*body, SBoL5, SBoT1, axis, CurrentValue);
}

bool MKRULASpecs::IsShoulderRaised() const {
  const MKKERULAAttr a = MKKRULAShoulderRaised;
  return Answer(values[a], thresholds[a], false, [&] { return BodyValue(OnSide(RSArCl), 1); });
}

bool MKRULASpecs::IsArmAbducted() const {
  const MKKERULAAttr a = MKKRULAArmAbducted;
  return Answer(values[a], thresholds[a], false, [&] { return BodyValue(OnSide(RSArAr), 1); });
}

bool MKRULASpecs::IsArmOutToSide() const {
  const MKKERULAAttr a = MKKRULAArmOutToSide;
  return Answer(values[a], thresholds[a], true, [&] { return BodyValue(OnSide(RSArAr), 2); });
}

bool MKRULASpecs::IsWristBent() const {
  const MKKERULAAttr a = MKKRULAWristBent;
  return Answer(values[a], thresholds[a], true, [&] { return BodyValue(OnSide(RSHaCPr), 1); });
}

bool MKRULASpecs::IsWristTwisted() const {
  const MKKERULAAttr a = MKKRULAWristTwisted;
  return Answer(values[a], thresholds[a], true, [&] { return BodyValue(OnSide(RSArFAr), 2); });
}

bool MKRULASpecs::IsNeckTwisted() const {
  const MKKERULAAttr a = MKKRULANeckTwisted;
  return Answer(values[a], thresholds[a], true, [&] { return RunValue(Neck, 2); });
}

bool MKRULASpecs::IsNeckSideBending() const {
  const MKKERULAAttr a = MKKRULANeckSideBending;
  return Answer(values[a], thresholds[a], true, [&] { return RunValue(Neck, 1); });
}

bool MKRULASpecs::IsTrunkTwisted() const {
  const MKKERULAAttr a = MKKRULATrunkTwisted;
  return Answer(values[a], thresholds[a], true, [&] { return RunValue(Trunk, 2); });
}

bool MKRULASpecs::IsTrunkSideBending() const {
  const MKKERULAAttr a = MKKRULATrunkSideBending;
  return Answer(values[a], thresholds[a], true, [&] { return RunValue(Trunk, 1); });
}
