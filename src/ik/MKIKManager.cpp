#include "ik/MKIKManager.h"

#include <algorithm>

#include "body/MKBody.h"
#include "body/MKBodyElement.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "host/MKTrace.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKSpecs.h"
#include "ik/detail/MKIKDumpSink.h"
#include "ik/detail/MKIKOptimizer.h"
#include "manikin/MKManikin.h"
#include "vision/MKLineOfSight.h"

namespace {

// Behaviour bits that move the start of head-pointing chains down the trunk.
constexpr int kHeadPointingFromT12 = 2;
constexpr int kHeadPointingFromL5 = 4;

bool IsSegment(const MKBodyElement* element) {
  return element && element->GetMKClassName() == MKSegmentClass;
}

// The segment that stands for an element in ancestry tests: itself, or the
// segment that owns it.
MKSegment* SegmentOf(MKBodyElement* element) {
  if (IsSegment(element)) return static_cast<MKSegment*>(element);
  if (element && IsSegment(element->GetOwner()))
    return static_cast<MKSegment*>(element->GetOwner());
  return nullptr;
}

// The next element up a chain: a segment's ancestor, another element's owner.
MKBodyElement* Above(MKBodyElement* element) {
  if (IsSegment(element)) return static_cast<MKSegment*>(element)->GetAncestor();
  if (element->GetMKClassName() == MKBodyClass) return nullptr;
  MKBodyElement* owner = element->GetOwner();
  return owner == element ? nullptr : owner;
}

// Trace hooks as a dump sink.
class TraceSink : public MKIKDumpSink {
 public:
  void Text(const char* text) override { MKTrace(text); }
  void Number(int value) override { MKTrace(value); }
  void Number(double value) override { MKTrace(value); }
  void Matrix(const MK4x4Matrix& matrix) override { MKTrace(matrix); }
};

}  // namespace

MKIKManager::MKIKManager(MKManikin* owner) : specs(new MKIKSpecs()), manikin(owner) {
  memo.SetPartIDOfOwner(MKPartIKConstraintsID);
  // One entry per DOF of the body, and room for the lines of sight.
  const MKBody* body = manikin ? manikin->GetBody() : nullptr;
  EnsureCapacity((body ? body->GetNumberOfDOFs() : 0) + 6);
}

MKIKManager::~MKIKManager() {
  for (int i = 1; i <= constraints.Size(); ++i)
    static_cast<MKIKConstraint*>(constraints[i])->Destroy();
  constraints.RemoveAll();
  if (specs) specs->Destroy();
}

void MKIKManager::EnsureCapacity(std::size_t count) {
  if (gradient.size() >= count) return;
  gradient.resize(count, 0.0);
  variables.resize(count, 0.0);
  lowerBounds.resize(count, 0.0);
  upperBounds.resize(count, 0.0);
}

void MKIKManager::SetMemo(const MKMemo* newMemo) {
  if (!newMemo) return;
  memo = *newMemo;
}

void MKIKManager::SetMemo(const char* text) {
  memo.SetText(KelUnicodeString(text ? text : ""));
}

// ---- Constraints ----

MKIKConstraint* MKIKManager::GetIKConstraint(unsigned int i) const {
  if (i >= GetNumberOfConstraints()) return nullptr;
  return static_cast<MKIKConstraint*>(constraints[static_cast<int>(i) + 1]);
}

MKIKConstraint* MKIKManager::GetIKConstraint(const KelString& id) const {
  for (int i = 1; i <= constraints.Size(); ++i) {
    auto* constraint = static_cast<MKIKConstraint*>(constraints[i]);
    KelString text;
    constraint->GetID(text);
    if (text == id) return constraint;
  }
  return nullptr;
}

MKStatus MKIKManager::AddConstraint(MKBodyElement* endEffector, MKSegment* startSegment, int type,
                                    MKIKConstraint*& out, const char* name) {
  if (out) {
    if (constraints.Locate(out) != 0)
      RemoveConstraint(out);
    else
      out->Destroy();
    out = nullptr;
  }
  if (!startSegment) return MKStatus(702);
  if (!endEffector) return MKStatus(701);
  MKSegment* segment = SegmentOf(endEffector);
  if (!segment) return MKStatus(701);
  // Only a Pointing constraint can aim an element that is not a segment.
  if (!IsSegment(endEffector)) type = MKIKConstraint::sPointing;
  const bool above = startSegment == segment || startSegment->IsAncestor(segment) ||
                     startSegment->GetShortName() == SBoPh;
  if (!above) return MKStatus(702);
  auto* constraint = new MKIKConstraint(this, endEffector, startSegment, type, name);
  constraints.Append(constraint);
  out = constraint;
  BuildGlobalConstraint();
  return MKStatusSuccess;
}

MKStatus MKIKManager::RemoveConstraint(MKIKConstraint* constraint) {
  const int position = constraint ? constraints.Locate(constraint) : 0;
  if (position == 0) return MKStatus(10);
  constraints.RemovePosition(position);
  constraint->Destroy();
  BuildGlobalConstraint();
  return MKStatusSuccess;
}

MKStatus MKIKManager::RemoveConstraintAtIndex(unsigned int i) {
  return RemoveConstraint(GetIKConstraint(i));
}

void MKIKManager::RemoveAllConstraints() {
  for (int i = 1; i <= constraints.Size(); ++i)
    static_cast<MKIKConstraint*>(constraints[i])->Destroy();
  constraints.RemoveAll();
  BuildGlobalConstraint();
}

void MKIKManager::DeactivateAllConstraints(KelRawCollint& states) {
  for (int i = 1; i <= constraints.Size(); ++i) {
    auto* constraint = static_cast<MKIKConstraint*>(constraints[i]);
    states.Append(constraint->IsActive() && !constraint->IsInvalid() ? 1 : 0);
    constraint->Deactivate();
  }
}

void MKIKManager::ReactivateAllConstraints(const KelRawCollint& states) {
  for (int i = 1; i <= constraints.Size() && i <= states.Size(); ++i)
    if (states[i] == 1) static_cast<MKIKConstraint*>(constraints[i])->Activate();
}

bool MKIKManager::IsActiveConstraintOnSegment(int segmentShortName) const {
  for (int i = 1; i <= constraints.Size(); ++i) {
    const auto* constraint = static_cast<const MKIKConstraint*>(constraints[i]);
    if (!constraint->IsActive() || constraint->IsInvalid()) continue;
    for (const MKSegment* s = SegmentOf(constraint->GetEndEffector()); s; s = s->GetAncestor())
      if (s->GetShortName() == segmentShortName) return true;
  }
  return false;
}

void MKIKManager::ApplyTransf(const MK4x4Matrix& matrix) {
  for (int i = 1; i <= constraints.Size(); ++i)
    static_cast<MKIKConstraint*>(constraints[i])->ApplyTransformation(matrix);
}

const char* MKIKManager::DisplayTargetType(int type) {
  switch (type) {
    case MKIKConstraint::sPosition:
      return "(Position)";
    case MKIKConstraint::sYDirection:
      return "(Y Direction)";
    case MKIKConstraint::sXDirection:
      return "(X Direction)";
    case MKIKConstraint::sOrientation:
      return "(Orientation)";
    case MKIKConstraint::sFrame:
      return "(Frame)";
    case MKIKConstraint::sPointing:
      return "(Pointing)";
    case MKIKConstraint::sLine:
      return "(Line)";
    case MKIKConstraint::sInfiniteLine:
      return "(Infinite Line)";
    case MKIKConstraint::sZDirection:
      return "(Z Direction)";
    case MKIKConstraint::sHalfSpace:
      return "(Half-Space)";
    case MKIKConstraint::sPlane:
      return "(Plane)";
    default:
      return "(<Unknown>)";
  }
}

void MKIKManager::DumpConstraintsInfo() const {
  TraceSink sink;
  DumpConstraintsInfo(sink);
}

void MKIKManager::DumpConstraintsInfo(MKIKDumpSink& sink) const {
  const auto nameOf = [](int shortName) {
    const char* text = MKConvertShortNameToString(static_cast<MKShortName>(shortName));
    return text ? text : "";
  };
  sink.Text("Constraints info\n");
  sink.Text("----------------\n");
  sink.Text("Number of constraints:");
  sink.Number(static_cast<int>(GetNumberOfConstraints()));
  sink.Text("\n");
  for (unsigned int i = 0; i < GetNumberOfConstraints(); ++i) {
    sink.Text("\n");
    sink.Text("Constraint ");
    sink.Number(static_cast<int>(i));
    sink.Text(" ");
    const MKIKConstraint* c = GetIKConstraint(i);
    if (!c) continue;
    sink.Text("Active = ");
    sink.Text(c->IsActive() && !c->IsInvalid() ? "Yes\n" : "No\n");
    sink.Text("End effector = ");
    sink.Text(nameOf(c->GetShortNameOfEndEffector()));
    sink.Text("\n");
    sink.Text("Start segment = ");
    sink.Text(nameOf(c->GetShortNameOfStartSegment()));
    sink.Text("Target Type = ");
    sink.Number(c->GetTargetType());
    sink.Text(DisplayTargetType(c->GetTargetType()));
    sink.Text("\n");
    sink.Text("Weight = ");
    sink.Number(c->GetWeight());
    sink.Text("\n");
    sink.Text("Position weight = ");
    sink.Number(c->GetPositionWeight());
    sink.Text("Position Potential = \n");
    sink.Number(c->GetPositionPotential());
    sink.Text("Rotation Potential = \n");
    sink.Number(c->GetRotationPotential());
    sink.Text("Target Matrix =\n");
    sink.Matrix(c->GetTargetMatrix());
    sink.Text("\n");
    sink.Text("Globe  Matrix =\n");
    sink.Matrix(c->GetEndEffectorMatrix());
  }
}

// ---- Tolerance and behaviour ----

double MKIKManager::GetIKTolerance() const {
  return specs ? specs->GetTolerance() : sDefaultTolerance;
}

MKStatus MKIKManager::SetIKTolerance(double tolerance) {
  if (!specs) return MKStatusFailure;
  specs->SetTolerance(tolerance);
  return MKStatusSuccess;
}

void MKIKManager::SetBehavior(int behavior) {
  if (specs && specs->GetBehavior() != behavior) specs->SetBehavior(behavior);
}

int MKIKManager::GetBehavior() const {
  return specs ? specs->GetBehavior() : MKIKSpecs::sDefaultBehavior;
}

// ---- Variables ----

unsigned int MKIKManager::GetIKChainElemNumberOfDOFs(const MKBodyElement* element) {
  if (!element) return 0;
  switch (element->GetMKClassName()) {
    case MKSegmentClass:
      return static_cast<const MKSegment*>(element)->GetNumberOfDOFs();
    case MKLineOfSightClass:
      return static_cast<const MKLineOfSight*>(element)->GetNumberOfDOFs();
    default:
      return 0;
  }
}

MKDOF* MKIKManager::GetIKChainElemDOF(const MKBodyElement* element, unsigned int i) {
  if (!element || i > 2) return nullptr;
  switch (element->GetMKClassName()) {
    case MKSegmentClass:
      return static_cast<const MKSegment*>(element)->GetDOF(static_cast<int>(i));
    case MKLineOfSightClass:
      return static_cast<const MKLineOfSight*>(element)->GetDOF(i);
    default:
      return nullptr;
  }
}

MKBodyElement* MKIKManager::GetDrivenElement(int i) const {
  if (i < 0 || i >= drivenElements.Size()) return nullptr;
  return static_cast<MKBodyElement*>(drivenElements[i + 1]);
}

void MKIKManager::BuildGlobalConstraint() {
  variableCount = 0;
  drivenElements.RemoveAll();
  const int behavior = GetBehavior();
  for (int i = 1; i <= constraints.Size(); ++i) {
    auto* constraint = static_cast<MKIKConstraint*>(constraints[i]);
    if (!constraint->IsActive() || constraint->IsInvalid()) continue;
    constraint->ResetIKChain();
    MKSegment* start = constraint->GetStartSegment();
    if (!start || !constraint->GetEndEffector()) continue;
    // Head pointing may also turn the upper or the whole trunk.
    if (constraint->GetTargetType() == MKIKConstraint::sPointing &&
        start->GetShortName() == SHeNe) {
      MKBody* body = start->GetBody();
      MKSegment* lower = nullptr;
      if (body && (behavior & kHeadPointingFromL5))
        lower = body->GetSegment(SBoL5);
      else if (body && (behavior & kHeadPointingFromT12))
        lower = body->GetSegment(SBoT12);
      if (lower) start = lower;
    }
    // From the end effector up to the start segment; an element gathered
    // for an earlier constraint stays with that constraint.
    const MKBodyElement* stop = start->GetAncestor();
    for (MKBodyElement* e = constraint->GetEndEffector(); e && e != stop; e = Above(e)) {
      if (drivenElements.Locate(e) != 0) continue;
      int count = 0;
      for (unsigned int axis = 0; axis < 3; ++axis)
        if (GetIKChainElemDOF(e, axis)) ++count;
      if (count == 0) continue;
      constraint->AddDrivenElement(e, variableCount);
      drivenElements.Append(e);
      variableCount += count;
    }
  }
  EnsureCapacity(static_cast<std::size_t>(variableCount));
}

template <typename Visit>
void MKIKManager::ForEachDrivenDOF(Visit visit) const {
  for (int i = 1; i <= drivenElements.Size(); ++i) {
    const auto* element = static_cast<const MKBodyElement*>(drivenElements[i]);
    for (unsigned int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = GetIKChainElemDOF(element, axis)) visit(*dof);
  }
}

void MKIKManager::SaveCurrentIKChainValue(KelRawColldouble& values) const {
  values.RemoveAll();
  ForEachDrivenDOF([&values](MKDOF& dof) { values.Append(dof.GetMathematicalValue()); });
}

void MKIKManager::PasteOldIKChainValue(const KelRawColldouble& values) {
  int position = 1;
  ForEachDrivenDOF([&values, &position](MKDOF& dof) {
    if (position <= values.Size()) dof.SetMathematicalValue(values[position]);
    ++position;
  });
}

// ---- Optimiser ----

void MKIKManager::SetInitValues() {
  MKIKOptimizer(*this).SetInitValues();
}

MKStatus MKIKManager::QuasiNewton2Resolve() {
  return MKIKOptimizer(*this).QuasiNewton2Resolve();
}

double MKIKManager::GetMaxPositionPotential() const {
  double largest = 0.0;
  for (int i = 1; i <= constraints.Size(); ++i) {
    const auto* c = static_cast<const MKIKConstraint*>(constraints[i]);
    if (c->IsActive() && !c->IsInvalid()) largest = std::max(largest, c->GetPositionPotential());
  }
  return largest;
}

void MKIKManager::ComputeGlobalConstraintPotential(double& potential) {
  potential = MKIKOptimizer(*this).ComputeGlobalConstraintPotential();
}

void MKIKManager::ComputeGlobalConstraintGradient() {
  MKIKOptimizer(*this).ComputeGlobalConstraintGradient();
}
