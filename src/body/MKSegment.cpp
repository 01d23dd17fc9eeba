#include "body/MKSegment.h"

#include <cmath>
#include <string>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKEllipse.h"
#include "body/MKPrefAngle.h"
#include "body/MKSkinElement.h"
#include "host/MKTrace.h"
#include "math/MKIEEE.h"
#include "math/MKUnitConversions.h"

namespace {

MK3DVertex NaNPoint() {
  return MK3DVertex(MKIEEE::NaN(), MKIEEE::NaN(), MKIEEE::NaN());
}

void TraceInvalidArgument(const char* function) {
  MKTrace("==========================================\n");
  MKTrace((std::string(" Error in MKSegment::") + function + ":\n").c_str());
  MKTrace(" Invalid argument.\n");
  MKTrace("==========================================\n");
}

MK3DVertex ToVertex(const MK3x1Matrix& v) {
  return MK3DVertex(v(0), v(1), v(2));
}

}  // namespace

MKSegment::MKSegment() : MKBodyElement(MKSegmentClass, nullptr, static_cast<MKShortName>(-1)) {
  localMatrix.Unit();
  paraMatrix.Unit();
  globalMatrix.Unit();
}

MKSegment::MKSegment(MKBody* body, MKShortName name, int spineFlag, MKSegment* parent)
    : MKBodyElement(MKSegmentClass, static_cast<MKBodyElement*>(body), name), ancestor(parent) {
  if (spineFlag) flags |= kSpineBit;
  localMatrix.Unit();
  paraMatrix.Unit();
  globalMatrix.Unit();
}

MKSegment::MKSegment(const MKSegment& source) : MKBodyElement(source) {
  CopyFrom(source);
}

MKSegment& MKSegment::operator=(const MKSegment& source) {
  if (this == &source) return *this;
  MKBodyElement::operator=(source);
  CopyFrom(source);
  return *this;
}

MKSegment::~MKSegment() {
  DestroyOwned();
  owner = nullptr;
}

void MKSegment::DestroyOwned() {
  for (MKDOF*& dof : dofs) {
    if (dof) dof->Destroy();
    dof = nullptr;
  }
  for (int i = 1; i <= ellipses.Size(); ++i) delete static_cast<MKEllipse*>(ellipses[i]);
  ellipses.RemoveAll();
  delete skinElement;
  skinElement = nullptr;
}

void MKSegment::CopyFrom(const MKSegment& source) {
  ancestor = source.ancestor;
  children = source.children;
  flags = source.flags | kChangedBit;
  localMatrix = source.localMatrix;
  dofCount = source.dofCount;
  for (int axis = 0; axis < 3; ++axis) {
    const MKDOF* from = source.dofs[axis];
    if (!from) {
      if (dofs[axis]) dofs[axis]->Destroy();
      dofs[axis] = nullptr;
    } else if (dofs[axis]) {
      dofs[axis]->PasteFrom(from, 1);
    } else {
      dofs[axis] = new MKDOF(*from);
      dofs[axis]->SetOwner(this);
    }
  }
  for (int i = 1; i <= ellipses.Size(); ++i) delete static_cast<MKEllipse*>(ellipses[i]);
  ellipses.RemoveAll();
  for (int i = 1; i <= source.ellipses.Size(); ++i) {
    auto* copy = new MKEllipse(*static_cast<const MKEllipse*>(source.ellipses[i]));
    copy->SetSegment(this);
    ellipses.Append(copy);
  }
  length = source.length;
  rotation = source.rotation;
  paraMatrix = source.paraMatrix;
  spareMatrix = source.spareMatrix;
  centerOfGravity = source.centerOfGravity;
  mass = source.mass;
  delete skinElement;
  skinElement = nullptr;
  lengthDefaulted = source.lengthDefaulted;
  hierarchiesA = source.hierarchiesA;
  hierarchiesB = source.hierarchiesB;
  texturePath = source.texturePath;
  for (int i = 0; i < 2; ++i) {
    textureScale[i] = source.textureScale[i];
    textureOffset[i] = source.textureOffset[i];
  }
}

MKBody* MKSegment::GetBody() const {
  return owner && owner->GetMKClassName() == MKBodyClass ? static_cast<MKBody*>(owner) : nullptr;
}

MKBodyElement* MKSegment::GetChild(int i) const {
  if (i < 0 || i >= children.Size()) return nullptr;
  return static_cast<MKBodyElement*>(children[i + 1]);
}

bool MKSegment::IsAncestor(const MKSegment* segment) const {
  for (const MKSegment* s = segment ? segment->ancestor : nullptr; s; s = s->ancestor)
    if (s == this) return true;
  return false;
}

bool MKSegment::IsDescendant(const MKSegment* segment) const {
  return segment && segment->IsAncestor(this);
}

void MKSegment::AddChild(MKBodyElement* child) {
  if (!child) return;
  const MKBodyElementClassName tag = child->GetMKClassName();
  if (tag == MKSegmentClass || tag == MKLineOfSightClass) children.Append(child);
}

bool MKSegment::IsOnLeftSide() const {
  const char* name = GetShortNameAsString();
  return name && name[0] == 'L';
}

bool MKSegment::IsOnRightSide() const {
  const char* name = GetShortNameAsString();
  return name && name[0] == 'R';
}

MKSegment* MKSegment::GetMirrorSegment() const {
  MKBody* body = GetBody();
  const char* name = GetShortNameAsString();
  if (!body || !name || (name[0] != 'L' && name[0] != 'R')) return nullptr;
  std::string mirror(name);
  mirror[0] = name[0] == 'L' ? 'R' : 'L';
  return body->GetSegment(MKConvertStringToShortName(mirror.c_str()));
}

void MKSegment::AddDOF(int axis, int dofFlags, double value, MKDOF* coupled) {
  if (axis < 0 || axis > 2 || dofs[axis]) return;
  dofs[axis] = new MKDOF(this, axis, dofFlags, coupled, value);
  if (!(dofFlags & MKDOF::sPureSlave)) ++dofCount;
}

MKDOF* MKSegment::GetDOF(int i) const {
  if (i == -2) return dofs[2];
  if (i < 0 || i > 2 || !dofs[i] || dofs[i]->IsPureSlave()) return nullptr;
  return dofs[i];
}

void MKSegment::ResetPosture() {
  for (MKDOF* dof : dofs)
    if (dof) dof->Reset();
}

void MKSegment::MirrorCopyPosture() {
  MKSegment* mirror = GetMirrorSegment();
  if (!mirror) return;
  for (int axis = 0; axis < 3; ++axis)
    if (dofs[axis] && mirror->dofs[axis])
      mirror->dofs[axis]->SetValue(dofs[axis]->GetValue(), dofs[axis]->GetRange());
}

void MKSegment::SwapPosture() {
  MKSegment* mirror = GetMirrorSegment();
  if (!mirror) {
    // A midline segment mirrors by turning the other way about Y and Z.
    for (int axis = 1; axis < 3; ++axis)
      if (dofs[axis]) dofs[axis]->SetMathematicalValue(-dofs[axis]->GetMathematicalValue());
    return;
  }
  for (int axis = 0; axis < 3; ++axis) {
    MKDOF* mine = dofs[axis];
    MKDOF* theirs = mirror->dofs[axis];
    if (!mine || !theirs) continue;
    const double theirValue = theirs->GetMathematicalValue();
    theirs->SetValue(mine->GetValue(), mine->GetRange());
    mine->SetValue(std::fabs(theirValue), theirValue < 0 ? -1 : 1);
  }
}

namespace {
// Replaces the zones of `target` by copies of those of `source`.
void CopyPrefAngles(const MKDOF& source, MKDOF* target) {
  target->RemoveAllPrefAngles();
  for (unsigned int i = 0; i < source.GetNumberOfPrefAngles(); ++i)
    target->AddPrefAngle()->PasteFrom(source.GetPrefAngle(i), 1);
  target->CheckAngleContinuity(MKDOF::UpdateAll, 0);
}
}  // namespace

void MKSegment::MirrorCopyPrefAngles(int axis) {
  MKSegment* mirror = GetMirrorSegment();
  if (!mirror) return;
  for (int a = 0; a < 3; ++a)
    if ((axis >= 3 || a == axis) && dofs[a] && mirror->dofs[a])
      CopyPrefAngles(*dofs[a], mirror->dofs[a]);
}

void MKSegment::SwapPrefAngles(int axis) {
  MKSegment* mirror = GetMirrorSegment();
  if (!mirror) return;
  for (int a = 0; a < 3; ++a) {
    if ((axis < 3 && a != axis) || !dofs[a] || !mirror->dofs[a]) continue;
    const MKDOF mine(*dofs[a]);
    CopyPrefAngles(*mirror->dofs[a], dofs[a]);
    CopyPrefAngles(mine, mirror->dofs[a]);
  }
}

void MKSegment::LockPosture(int axis) {
  for (int a = 0; a < 3; ++a)
    if (dofs[a] && (axis < 0 || axis > 2 || a == axis)) dofs[a]->LockValue();
}

void MKSegment::SetLength(double newLength) {
  lengthDefaulted = 0;
  if (newLength > 0) {
    length = newLength;
  } else if (newLength < 0) {
    length = 5.0;
    lengthDefaulted = 1;
  }
  Invalidate();
}

double MKSegment::GetRotationXInDegrees() const {
  return MKUnitConversions::RadiansToDegrees(rotation(0));
}
double MKSegment::GetRotationYInDegrees() const {
  return MKUnitConversions::RadiansToDegrees(rotation(1));
}
double MKSegment::GetRotationZInDegrees() const {
  return MKUnitConversions::RadiansToDegrees(rotation(2));
}

void MKSegment::SetRotation(double xDegrees, double yDegrees, double zDegrees) {
  const double degrees[3] = {xDegrees, yDegrees, zDegrees};
  for (int i = 0; i < 3; ++i)
    if (degrees[i] <= 360.0) rotation(i) = MKUnitConversions::DegreesToRadians(degrees[i]);
  SetParaMatrix();
}

void MKSegment::SetMass(double fraction) {
  if (fraction > 0.0 && fraction < 1.0) mass = fraction;
}

void MKSegment::SetCenterOfGravityPosition(const MK3DVertex& fractions) {
  if (fractions.x > 0.0 && fractions.x <= 1.0) centerOfGravity.x = fractions.x;
  if (fractions.y > 0.0 && fractions.y <= 1.0) centerOfGravity.y = fractions.y;
  if (fractions.z > 0.0 && fractions.z <= 1.0) centerOfGravity.z = fractions.z;
}

const MK4x4Matrix& MKSegment::GetLocalMatrix() {
  Update();
  return localMatrix;
}

void MKSegment::GetLocalMatrix(MKFrame& frame) {
  GetLocalMatrix().GetMKFrame(frame);
}

MK3x1Matrix MKSegment::GetOriginPosition() {
  return GetGlobalMatrix().GetTranslation();
}

MK3x1Matrix MKSegment::GetEndPosition() {
  return GetGlobalMatrix() * MK3x1Matrix(0.0, 0.0, length);
}

MK3x1Matrix MKSegment::AsVector() {
  return GetEndPosition() - GetOriginPosition();
}

MK3DVertex MKSegment::GetDirection() {
  MK3x1Matrix direction = AsVector();
  direction.Normalize();
  return ToVertex(direction);
}

MK3DVertex MKSegment::GetBeginPoint(MKCoordinateSpace space) {
  if (space == MKLocalSpace) return MK3DVertex(0.0, 0.0, 0.0);
  if (space == MKGlobalSpace) return ToVertex(GetOriginPosition());
  TraceInvalidArgument("GetBeginPoint");
  return NaNPoint();
}

MK3DVertex MKSegment::GetEndPoint(MKCoordinateSpace space) {
  if (space == MKLocalSpace) return MK3DVertex(0.0, 0.0, length);
  if (space == MKGlobalSpace) return ToVertex(GetEndPosition());
  TraceInvalidArgument("GetEndPoint");
  return NaNPoint();
}

MK3x1Matrix MKSegment::GetRotationAxis(int axis) {
  if (axis < 0 || axis > 2 || !dofs[axis]) return MK3x1Matrix(0.0, 0.0, 0.0);
  const MK4x4Matrix& global = GetGlobalMatrix();
  return MK3x1Matrix(global(axis, 0), global(axis, 1), global(axis, 2));
}

MKEllipse* MKSegment::AddEllipse(MKShortName name, int ellipseFlags) {
  auto* ellipse = new MKEllipse(this, name, ellipseFlags);
  ellipses.Append(ellipse);
  return ellipse;
}

void MKSegment::AttachEllipse(MKEllipse* ellipse) {
  if (!ellipse) return;
  ellipse->SetOwner(this);
  ellipses.Append(ellipse);
}

void MKSegment::DetachEllipse(MKEllipse* ellipse) {
  const int position = ellipses.Locate(ellipse);
  if (position == 0) return;
  ellipses.RemovePosition(position);
  ellipse->SetOwner(nullptr);
}

MKEllipse* MKSegment::GetEllipseAtIndex(int i) const {
  if (i < 0 || i >= ellipses.Size()) return nullptr;
  return static_cast<MKEllipse*>(ellipses[i + 1]);
}

MKEllipse* MKSegment::GetEllipse(MKShortName name) const {
  for (int i = 1; i <= ellipses.Size(); ++i) {
    auto* ellipse = static_cast<MKEllipse*>(ellipses[i]);
    if (ellipse->GetShortName() == name) return ellipse;
  }
  return nullptr;
}

MKSkinElement* MKSegment::InitSkinElement() {
  if (!skinElement) skinElement = new MKSkinElement(this);
  skinElement->Clear();
  return skinElement;
}

namespace {

// Appends `index` unless the list holds it. Faces are added in ascending
// order, so the last element usually settles it without a search.
void AppendOnce(KelRawCollint& list, int index) {
  const int n = list.Size();
  if (n > 0 && list[n] == index) return;
  if (n == 0 || list[n] < index || list.Locate(index) == 0) list.Append(index);
}

}  // namespace

void MKSegment::AddHierarchyIndex(int mask, int index) {
  if (mask & 2) AppendOnce(hierarchiesA, index);
  if (mask & 1) AppendOnce(hierarchiesB, index);
}

void MKSegment::RemoveHierarchy(int mask, int index) {
  if (mask & 2) hierarchiesA.RemovePosition(hierarchiesA.Locate(index));
  if (mask & 1) hierarchiesB.RemovePosition(hierarchiesB.Locate(index));
}

void MKSegment::CompletlyRemoveAllHierarchies(int mask) {
  if (mask & 2) hierarchiesA.RemoveAll();
  if (mask & 1) hierarchiesB.RemoveAll();
}

int MKSegment::GetNbHierarchies(int type) const {
  return GetHierarchiesIndexes(type).Size();
}

int MKSegment::GetHierarchyAtIndex(int type, int i) const {
  const KelRawCollint& list = GetHierarchiesIndexes(type);
  return i >= 0 && i < list.Size() ? list[i + 1] : -1;
}

void MKSegment::SetHierarchyAtIndex(int type, int i, int value) {
  KelRawCollint& list = type == 2 ? hierarchiesA : hierarchiesB;
  if (i >= 0 && i < list.Size()) list[i + 1] = value;
}

const KelRawCollint& MKSegment::GetHierarchiesIndexes(int type) const {
  return type == 2 ? hierarchiesA : hierarchiesB;
}

void MKSegment::SetTextureInfo(const KelUnicodeString& path, const float* scale,
                               const float* offset) {
  texturePath = path;
  for (int i = 0; i < 2; ++i) {
    textureScale[i] = scale ? scale[i] : 0.0F;
    textureOffset[i] = offset ? offset[i] : 0.0F;
  }
}

void MKSegment::Invalidate() {
  if (HasChanged()) return;
  flags |= kChangedBit;
  for (int i = 1; i <= children.Size(); ++i) static_cast<MKBodyElement*>(children[i])->Invalidate();
  for (int i = 1; i <= ellipses.Size(); ++i) static_cast<MKEllipse*>(ellipses[i])->Invalidate();
}

void MKSegment::Update() {
  if (!HasChanged()) return;
  if (ancestor) ancestor->Update();
  UpdateMatrices();
}

void MKSegment::SetParaMatrix() {
  if (ancestor)
    paraMatrix.BuildFromTrans(0.0, 0.0, ancestor->length);
  else
    paraMatrix.Unit();
  paraMatrix.RotX(rotation(0));
  paraMatrix.RotY(rotation(1));
  paraMatrix.RotZ(rotation(2));
  Invalidate();
}

double MKSegment::AppliedAngle(const MKDOF* dof) {
  const double v = dof->GetMathematicalValue();
  return dof->IsLeftHanded() || dof->IsInverted() ? v : -v;
}

void MKSegment::UpdateMatrices() {
  localMatrix = paraMatrix;
  const MKDOF* x = dofs[0];
  const MKDOF* y = dofs[1];
  const MKDOF* z = dofs[2];
  if (shortName == RSHaTh1 || shortName == LSHaTh1) {
    // The thumb's first phalanx turns about a tilted axis: Y carries a
    // share of Z, offset by 13 degrees.
    if (y) {
      const double a = AppliedAngle(y);
      const double offset = (M_PI / 180.0) * 13.0;
      const double b = (y->IsLeftHanded() || y->IsInverted() ? -offset : offset) + 0.7 * a;
      localMatrix.RotZ(b);
      localMatrix.RotY(a);
    }
    if (x) localMatrix.RotX(AppliedAngle(x));
  } else {
    if (x && !x->IsPureMaster()) localMatrix.RotX(AppliedAngle(x));
    if (y && !y->IsPureMaster()) localMatrix.RotY(AppliedAngle(y));
  }
  if (z && !z->IsPureMaster()) localMatrix.RotZ(AppliedAngle(z));
  globalMatrix = localMatrix;
  if (ancestor) globalMatrix *= ancestor->GetGlobalMatrix();
  Validate();
}
