#include "ik/MKIKConstraint.h"

#include <cmath>

#include "body/MKBody.h"
#include "body/MKBodyElement.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKManager.h"
#include "ik/MKIKSpecs.h"
#include "vision/MKLineOfSight.h"

namespace {

// Half-length of the segment an Infinite Line stands for, in units of the
// distance between the two points given.
constexpr double kInfiniteLineStretch = 1000000.0;
// Below this, a cross product of unit vectors is taken as parallel ones.
constexpr double kParallel = 1e-12;
// Distance from 1 or -1 under which a cosine counts as aligned axes.
constexpr double kAlignedCosine = 1e-12;
// Trunk lengths of a chain are measured from the thorax's end (segment 21).
constexpr unsigned int kThoraxIndex = 21;
// A chain counts the trunk only until it holds this much of it.
constexpr double kSpineLengthCounted = 0.1;

bool IsLineOfSight(const MKBodyElement* element) {
  return element && element->GetMKClassName() == MKLineOfSightClass;
}

bool IsSegment(const MKBodyElement* element) {
  return element && element->GetMKClassName() == MKSegmentClass;
}

// Segment length, or line-of-sight length; an element looking at infinity
// has no usable tip, so its tip stays at its origin.
double ElementLength(const MKBodyElement* element) {
  double length = 0.0;
  if (IsSegment(element))
    length = static_cast<const MKSegment*>(element)->GetLength();
  else if (IsLineOfSight(element))
    length = static_cast<const MKLineOfSight*>(element)->GetLength();
  return std::isfinite(length) ? length : 0.0;
}

double DefaultPositionWeightAtConstruction(int type) {
  switch (type) {
    case MKIKConstraint::sPosition:
      return 1.0;
    case MKIKConstraint::sYDirection:
    case MKIKConstraint::sZDirection:
      return 0.5;
    case MKIKConstraint::sOrientation:
    case MKIKConstraint::sPointing:
      return 0.0;
    case MKIKConstraint::sXDirection:
    case MKIKConstraint::sFrame:
    case MKIKConstraint::sLine:
    case MKIKConstraint::sInfiniteLine:
    case MKIKConstraint::sLineWithZDirection:
    case MKIKConstraint::sHalfSpace:
    case MKIKConstraint::sPlane:
    case MKIKConstraint::sPlaneWithZDirection:
      return 0.7;
    default:
      return 1.0;
  }
}

double DefaultPositionWeightOnChange(int type) {
  switch (type) {
    case MKIKConstraint::sPosition:
      return 1.0;
    case MKIKConstraint::sYDirection:
    case MKIKConstraint::sZDirection:
      return 0.7;
    case MKIKConstraint::sOrientation:
      return 0.0;
    case MKIKConstraint::sXDirection:
    case MKIKConstraint::sFrame:
    case MKIKConstraint::sPointing:
    case MKIKConstraint::sLine:
    case MKIKConstraint::sInfiniteLine:
    case MKIKConstraint::sLineWithZDirection:
    case MKIKConstraint::sHalfSpace:
    case MKIKConstraint::sPlane:
    case MKIKConstraint::sPlaneWithZDirection:
      return 0.75;
    default:
      return 1.0;
  }
}

MK3x1Matrix Row(const MK4x4Matrix& m, int r) {
  return MK3x1Matrix(m(r, 0), m(r, 1), m(r, 2));
}

void SetRow(MK4x4Matrix& m, int r, const MK3x1Matrix& v) {
  for (int c = 0; c < 3; ++c) m(r, c) = v(c);
}

// v / |v|; the null vector stays null.
MK3x1Matrix Unit(const MK3x1Matrix& v) {
  const double norm = v.Norm();
  return norm > 0.0 ? v * (1.0 / norm) : v;
}

bool IsRoot(const MKSegment* segment) {
  return segment && segment->GetShortName() == SBoPh;
}

// Whether `start` may head a chain that ends at `segment`.
bool CanStartChainOf(const MKSegment* start, const MKSegment* segment) {
  return start && segment && (start == segment || start->IsAncestor(segment) || IsRoot(start));
}

}  // namespace

// ---- Construction ----

MKIKConstraint::MKIKConstraint() : MKManikinPart(MKPartIKConstraintID, 2.01) {
  targetMatrix.Unit();
  offsetMatrix.Unit();
}

MKIKConstraint::MKIKConstraint(MKIKManager* owner, MKBodyElement* element, MKSegment* start,
                               int type, const char* name)
    : MKManikinPart(MKPartIKConstraintID, 2.01),
      manager(owner),
      targetType(type),
      endEffector(element),
      id(name && *name ? MKUUID(name) : MKUUID()),
      startSegment(start),
      positionWeight(DefaultPositionWeightAtConstruction(type)),
      endEffectorShortName(element ? static_cast<int>(element->GetShortName()) : -1),
      startSegmentShortName(start ? static_cast<int>(start->GetShortName()) : -1) {
  targetMatrix.Unit();
  ResetOffsetMatrix();
  targetMatrix = GetEndEffectorMatrix();
}

MKIKConstraint::MKIKConstraint(const MKIKConstraint& source) : MKManikinPart(source) {
  CopyFields(source);
}

MKIKConstraint& MKIKConstraint::operator=(const MKIKConstraint& source) {
  if (this == &source) return *this;
  MKManikinPart::operator=(source);
  CopyFields(source);
  return *this;
}

MKIKConstraint::~MKIKConstraint() = default;

void MKIKConstraint::CopyFields(const MKIKConstraint& source) {
  manager = source.manager;
  targetMatrix = source.targetMatrix;
  offsetMatrix = source.offsetMatrix;
  targetType = source.targetType;
  endEffector = source.endEffector;
  parameter = source.parameter;
  range = source.range;
  activity = source.activity;
  id = source.id;
  failFlag = source.failFlag;
  chainElements = source.chainElements;
  chainDOFIndexes = source.chainDOFIndexes;
  startSegment = source.startSegment;
  externalConstraint = source.externalConstraint;
  weight = source.weight;
  chainLength = source.chainLength;
  positionWeight = source.positionWeight;
  positionPotential = source.positionPotential;
  rotationPotential = source.rotationPotential;
  endEffectorShortName = source.endEffectorShortName;
  startSegmentShortName = source.startSegmentShortName;
  savedLocalPosture = source.savedLocalPosture;
  properties = source.properties;
  invalidFlag = source.invalidFlag;
  spineChainLength = source.spineChainLength;
}

void MKIKConstraint::RebuildManager() {
  if (manager) manager->BuildGlobalConstraint();
}

// ---- Target ----

void MKIKConstraint::SetTargetType(int type) {
  targetType = type;
  positionWeight = DefaultPositionWeightOnChange(type);
}

void MKIKConstraint::SetTargetMatrix(const MKFrame& frame) {
  targetMatrix = frame;
}

void MKIKConstraint::GetTargetMatrix(MKFrame& frame) const {
  targetMatrix.GetMKFrame(frame);
}

void MKIKConstraint::SetTargetPosition(double x, double y, double z) {
  targetMatrix(3, 0) = x;
  targetMatrix(3, 1) = y;
  targetMatrix(3, 2) = z;
}

MKStatus MKIKConstraint::SetTargetLine(const MK3DVertex& a, const MK3DVertex& b) {
  if (targetType != sLine && targetType != sInfiniteLine && targetType != sLineWithZDirection)
    return MKStatus(10);
  MK3x1Matrix first(a), second(b);
  if (targetType == sInfiniteLine) {
    const MK3x1Matrix middle = (first + second) * 0.5;
    const MK3x1Matrix stretch = (second - first) * kInfiniteLineStretch;
    first = middle - stretch;
    second = middle + stretch;
  }
  const MK3x1Matrix along = second - first;
  range = along.Norm();
  SetRow(targetMatrix, 3, first);
  // Two equal points give no direction: the axes stay as they are.
  if (range == 0.0) return MKStatusSuccess;
  const MK3x1Matrix direction = along * (1.0 / range);
  const MK3x1Matrix oldZ = Row(targetMatrix, 2);
  const MK3x1Matrix normal = oldZ.VectProd(direction);
  if (normal.Norm() > kParallel) {
    const MK3x1Matrix x = Unit(normal);
    SetRow(targetMatrix, 0, x);
    SetRow(targetMatrix, 1, Unit(direction.VectProd(x)));
  } else if (oldZ.VectDot(direction) < 0.0) {
    // Turned half round about X: the frame stays right-handed.
    SetRow(targetMatrix, 1, -Row(targetMatrix, 1));
  }
  SetRow(targetMatrix, 2, direction);
  return MKStatusSuccess;
}

void MKIKConstraint::ResetOffsetMatrix() {
  offsetMatrix.BuildFromTrans(0.0, 0.0, ElementLength(endEffector));
}

void MKIKConstraint::SetOffsetMatrix(const MKFrame& frame) {
  MK4x4Matrix tip;
  tip.BuildFromTrans(0.0, 0.0, ElementLength(endEffector));
  offsetMatrix = MK4x4Matrix(frame) * tip;
}

void MKIKConstraint::ApplyTransformation(const MK4x4Matrix& matrix) {
  targetMatrix = targetMatrix * matrix;
}

MK4x4Matrix MKIKConstraint::GetEndEffectorMatrix() const {
  if (!endEffector) return targetMatrix;
  return offsetMatrix * endEffector->GetGlobalMatrix();
}

MK4x4Matrix MKIKConstraint::GetDifferenceMatrix() const {
  return targetMatrix - GetEndEffectorMatrix();
}

double MKIKConstraint::GetDistanceToTarget() const {
  return Row(GetDifferenceMatrix(), 3).Norm();
}

double MKIKConstraint::GetAngleToTarget() const {
  int axis = -1;
  switch (targetType) {
    case sZDirection:
    case sPlaneWithZDirection:
      axis = 2;
      break;
    case sFrame:
    case sXDirection:
      axis = 0;
      break;
    case sYDirection:
      axis = 1;
      break;
    default:
      return 0.0;
  }
  const MK3x1Matrix target = Unit(Row(targetMatrix, axis));
  const MK3x1Matrix effector = Unit(Row(GetEndEffectorMatrix(), axis));
  const double dot = target.VectDot(effector);
  if (std::fabs(1.0 - dot) < kAlignedCosine) return 0.0;
  if (std::fabs(-1.0 - dot) < kAlignedCosine) return M_PI;
  return std::acos(dot < -1.0 ? -1.0 : dot > 1.0 ? 1.0 : dot);
}

// ---- End effector, start segment ----

MKSegment* MKIKConstraint::GetEndEffectorSegment() const {
  if (IsSegment(endEffector)) return static_cast<MKSegment*>(endEffector);
  if (endEffector && IsSegment(endEffector->GetOwner()))
    return static_cast<MKSegment*>(endEffector->GetOwner());
  return nullptr;
}

MKStatus MKIKConstraint::SetEndEffector(MKBodyElement* element) {
  if (!element) return MKStatus(10);
  if (element == endEffector) return MKStatusSuccess;
  // A line of sight (or any other element) stands by its owner segment.
  MKSegment* segment = IsSegment(element) ? static_cast<MKSegment*>(element)
                       : IsSegment(element->GetOwner())
                           ? static_cast<MKSegment*>(element->GetOwner())
                           : nullptr;
  if (!segment) return MKStatus(10);
  if (!CanStartChainOf(startSegment, segment)) {
    MKBody* body = segment->GetBody();
    if (!body) return MKStatusFailure;
    MKSegment* start = body->GetSegment(FindStartSegment(element->GetShortName()));
    if (!CanStartChainOf(start, segment)) return MKStatus(10);
    startSegment = start;
    startSegmentShortName = start->GetShortName();
  }
  endEffector = element;
  endEffectorShortName = element->GetShortName();
  ResetIKChain();
  RebuildManager();
  ResetOffsetMatrix();
  return MKStatusSuccess;
}

MKStatus MKIKConstraint::ResetEndEffector(MKBodyElement* element) {
  if (!element || !manager) return MKStatus(10);
  endEffector = element;
  endEffectorShortName = element->GetShortName();
  MKSegment* segment = GetEndEffectorSegment();
  MKBody* body = segment ? segment->GetBody() : nullptr;
  if (MKSegment* start =
          body ? body->GetSegment(FindStartSegment(element->GetShortName())) : nullptr) {
    startSegment = start;
    startSegmentShortName = start->GetShortName();
  }
  ResetIKChain();
  ResetOffsetMatrix();
  RebuildManager();
  return MKStatusSuccess;
}

MKStatus MKIKConstraint::SetStartSegment(MKSegment* segment) {
  MKSegment* end = GetEndEffectorSegment();
  if (!segment || !end || (segment != end && !segment->IsAncestor(end))) return MKStatus(10);
  startSegment = segment;
  startSegmentShortName = segment->GetShortName();
  ResetIKChain();
  RebuildManager();
  return MKStatusSuccess;
}

// ---- Chain ----

void MKIKConstraint::AddDrivenElement(MKBodyElement* element, int firstDOFIndex) {
  if (!element) return;
  chainElements.InsertAt(1, element);
  chainDOFIndexes.InsertAt(1, firstDOFIndex);
  const MKShortName name = element->GetShortName();
  if (name != SBoL5 && name != SBoT12) {
    chainLength += ElementLength(element);
    return;
  }
  // A vertebra that heads the trunk's run counts the trunk from its origin
  // up to the thorax's end, once per chain.
  if (spineChainLength >= kSpineLengthCounted || !IsSegment(element)) return;
  MKBody* body = static_cast<MKSegment*>(element)->GetBody();
  MKSegment* thorax = body ? body->GetSegmentAtIndex(kThoraxIndex) : nullptr;
  if (!thorax) return;
  const double length =
      thorax->GetEndPosition().DistanceFrom(element->GetGlobalMatrix().GetTranslation());
  spineChainLength += length;
  chainLength += length;
}

void MKIKConstraint::ResetIKChain() {
  chainElements.RemoveAll();
  chainDOFIndexes.RemoveAll();
  chainLength = 0.0;
  spineChainLength = 0.0;
}

MKBodyElement* MKIKConstraint::GetIKChainElement(int i) const {
  if (i < 0 || i >= chainElements.Size()) return nullptr;
  return static_cast<MKBodyElement*>(chainElements[i + 1]);
}

int MKIKConstraint::GetIKChainDOFIndex(int i) const {
  if (i < 0 || i >= chainDOFIndexes.Size()) return -1;
  return chainDOFIndexes[i + 1];
}

template <typename Visit>
void MKIKConstraint::ForEachChainDOF(Visit visit) const {
  for (int i = 1; i <= chainElements.Size(); ++i) {
    const auto* element = static_cast<const MKBodyElement*>(chainElements[i]);
    for (unsigned int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = MKIKManager::GetIKChainElemDOF(element, axis)) visit(*dof);
  }
}

namespace {
// The middle of a DOF's range [-min, max], locks ignored.
double MiddleOfRange(const MKDOF& dof) {
  return 0.5 * (dof.GetMaxLim(false) - dof.GetMinLim(false));
}
}  // namespace

void MKIKConstraint::ResetIKChainWithDefaultDOFValues() {
  ForEachChainDOF([](MKDOF& dof) { dof.Reset(); });
}

void MKIKConstraint::ResetIKChainWithMiddleDOFValues() {
  ForEachChainDOF([](MKDOF& dof) { dof.SetMathematicalValue(MiddleOfRange(dof)); });
}

void MKIKConstraint::ResetIKChainWithBetterStartValues() {
  ForEachChainDOF([](MKDOF& dof) {
    dof.SetMathematicalValue(0.5 * (dof.GetMathematicalValue() + MiddleOfRange(dof)));
  });
}

void MKIKConstraint::SaveLocalPosture() {
  // Each save replaces the previous one: a restore goes back to the last.
  savedLocalPosture.RemoveAll();
  ForEachChainDOF([this](MKDOF& dof) { savedLocalPosture.Append(dof.GetMathematicalValue()); });
}

void MKIKConstraint::ResetLocalPosture() {
  int position = 1;
  ForEachChainDOF([this, &position](MKDOF& dof) {
    if (position <= savedLocalPosture.Size()) dof.SetMathematicalValue(savedLocalPosture[position]);
    ++position;
  });
}

// ---- State ----

// A change of activity or validity empties the chain; the manager gathers
// it again when the constraint takes part.
void MKIKConstraint::Activate() {
  activity = sActive;
  ResetIKChain();
  RebuildManager();
}

void MKIKConstraint::Deactivate() {
  activity = sInactive;
  ResetIKChain();
  RebuildManager();
}

void MKIKConstraint::SetAsInvalid(unsigned char invalid) {
  if (invalid == invalidFlag) return;
  invalidFlag = invalid;
  ResetIKChain();
  RebuildManager();
}

MKStatus MKIKConstraint::SetWeight(double newWeight) {
  if (!(newWeight >= 0.0 && newWeight <= 1.0)) return MKStatusValueRefused;
  weight = newWeight;
  return MKStatusSuccess;
}

MKStatus MKIKConstraint::SetPositionWeight(double newWeight) {
  if (!(newWeight >= 0.0 && newWeight <= 1.0)) return MKStatus(700);
  positionWeight = newWeight;
  return MKStatusSuccess;
}

void MKIKConstraint::SetRange(double value) {
  if (value >= 0.0) range = value;
}

bool MKIKConstraint::IsResolved() const {
  if (!IsActive() || !manager) return true;
  return positionPotential + rotationPotential <= manager->GetIKTolerance();
}

MKStatus MKIKConstraint::SetCstProperty(const KelUnicodeString& name,
                                        const KelUnicodeString& value) {
  for (int i = 1; i + 1 <= properties.Size(); i += 2) {
    if (properties[i] == name) {
      properties[i + 1] = value;
      return MKStatusSuccess;
    }
  }
  properties.Append(name);
  properties.Append(value);
  return MKStatusSuccess;
}

KelUnicodeString MKIKConstraint::GetCstProperty(const KelUnicodeString& name) const {
  for (int i = 1; i + 1 <= properties.Size(); i += 2)
    if (properties[i] == name) return properties[i + 1];
  return KelUnicodeString("@Error_Property_") + name + "_Not_Found";
}

bool MKIKConstraint::IsSuccessByCriteria() const {
  if (!externalConstraint) return false;
  const double distanceTolerance = externalConstraint->GetDistanceTolerance();
  const double angleTolerance = externalConstraint->GetAngleTolerance();
  const int hostType = externalConstraint->GetTargetType();
  const double distance = GetDistanceToTarget();
  if (endEffectorShortName >= LLHeEye && endEffectorShortName <= RLHeEye)
    return distance < distanceTolerance;
  const double angle = GetAngleToTarget();
  if (externalConstraint->HasTargetObject()) {
    if (hostType == sZDirection || hostType == sFrame)
      return std::fabs(angle) < angleTolerance && distance < distanceTolerance;
    return distance < distanceTolerance;
  }
  switch (hostType) {
    case sOrientation:
      return angle < angleTolerance;
    case sPosition:
      return distance < distanceTolerance;
    case sFrame:
      return angle < angleTolerance && distance < distanceTolerance;
    default:
      return false;
  }
}
