// A host of the installed library: only the umbrella header, and each call
// written the way the library documents it. Building this file is the main
// check; running it checks that the calls also do what they say. Exit code
// 0 when every check holds.
#include <cstdio>
#include <type_traits>
#include <utility>

#include "mkmanikin.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("  %-64s %s\n", what, ok ? "ok" : "FAILED");
  if (!ok) ++failures;
}

// What a host must not reach: solver plumbing, record readers, rebuild helpers
// and re-homing of body elements.
template <class T, class = void>
struct HasRegisterReader : std::false_type {};
template <class T>
struct HasRegisterReader<T, std::void_t<decltype(&T::RegisterReader)>> : std::true_type {};
template <class T, class = void>
struct HasSaveAndFreeDOFs : std::false_type {};
template <class T>
struct HasSaveAndFreeDOFs<T, std::void_t<decltype(&T::SaveAndFreeDOFs)>> : std::true_type {};
template <class T, class = void>
struct HasRestoreDOFs : std::false_type {};
template <class T>
struct HasRestoreDOFs<T, std::void_t<decltype(&T::RestoreDOFs)>> : std::true_type {};
template <class T, class = void>
struct HasSetSegment : std::false_type {};
template <class T>
struct HasSetSegment<T, std::void_t<decltype(&T::SetSegment)>> : std::true_type {};
template <class T, class = void>
struct CanSetOwnerElement : std::false_type {};
template <class T>
struct CanSetOwnerElement<
    T, std::void_t<decltype(std::declval<T&>().SetOwner(std::declval<MKBodyElement*>()))>>
    : std::true_type {};

static_assert(!HasRegisterReader<MKManikinPart>::value, "record readers are internal");
static_assert(std::is_same_v<decltype(std::declval<const MKManikinPart&>().GetChild(1)),
                             const MKManikinPart*>,
              "a const part gives const children");
static_assert(!HasSaveAndFreeDOFs<MKBody>::value && !HasRestoreDOFs<MKBody>::value,
              "the rebuild helpers are internal");
static_assert(!HasSetSegment<MKEllipse>::value, "an ellipse moves only through SetOwner");
static_assert(!CanSetOwnerElement<MKDOF>::value, "a DOF stays with its segment");
template <class T, class = void>
struct HasSolverArrays : std::false_type {};
template <class T>
struct HasSolverArrays<T, std::void_t<decltype(&T::GetGradient), decltype(&T::GetVariables)>>
    : std::true_type {};
template <class T, class = void>
struct HasBounds : std::false_type {};
template <class T>
struct HasBounds<T, std::void_t<decltype(&T::GetLowerBounds), decltype(&T::GetUpperBounds)>>
    : std::true_type {};
static_assert(!HasSolverArrays<MKIKManager>::value && !HasBounds<MKIKManager>::value,
              "the solver's working arrays are internal");

// The status: its field, and comparison with its number.
void Statuses() {
  const MKStatus failed(MKStatusFailure);
  const MKStatus fine;
  Check(failed.code == 3 && failed != 0 && fine == 0 && !(fine != 0),
        "MKStatus: code, == and != with a number");
}

// The container's paste routines, public: a set pastes on a set and a memo
// on any part; the others are written here for their signatures.
void PasteRoutines() {
  MKManikinPart* set = MKManikinPart::Create(MKPartSetID);
  MKManikinPart* other = MKManikinPart::Create(MKPartSetID);
  MKMemo memo;
  memo.SetText("note");
  Check(set->PasteOnSet(other) == 0 && set->PasteMemoOnPart(&memo) == 0,
        "PasteOnSet, PasteMemoOnPart");
  MKManikinPart* posture = MKManikinPart::Create(MKPartPostureID);
  posture->PasteOnPosture(other, 1);
  posture->PasteOnJointLimits(other, 1);
  posture->PasteOnPrefAngle(other, 1);
  posture->PasteOnIKConstraints(other);
  posture->PasteOnVisualLimits(other);
  posture->PasteOnDBReference(other);
  for (MKManikinPart* part : {set, other, posture}) part->Destroy();
}

void Manikin() {
  MKManikin* manikin = nullptr;
  if (MKManikin::Create(manikin, 1, 50, nullptr, 1, 1) != 0 || !manikin) {
    Check(false, "MKManikin::Create");
    return;
  }
  MKAnthro* a = manikin->GetAnthro();

  // A manikin on the same database as this one.
  MKManikin* n = nullptr;
  Check(MKManikin::Create(n, 1, 50, a->GetDatabase(), 1, 1) == 0 && n &&
            n->GetAnthro()->GetDatabase() == a->GetDatabase(),
        "MKManikin::Create on GetDatabase()");
  if (n) n->Destroy();

  MKStatus s = a->UpdateAnchorPoints();
  Check(s == 0, "MKStatus s = a->UpdateAnchorPoints()");

  manikin->GetBody()->GetCenterOfGravity()->SetBody(manikin->GetBody());
  Check(manikin->GetBody()->GetElementByName(BoCg) == manikin->GetBody()->GetCenterOfGravity(),
        "GetBody()->GetCenterOfGravity()->SetBody(GetBody())");

  // The body's memo pasted as a part.
  MKBody* b = manikin->GetBody();
  b->SetMemo(KelUnicodeString("standing"));
  MKManikinPart* c = MKManikinPart::Create(MKPartPostureID);
  const MKMemo* m = b->GetMemo();
  c->PasteFrom(b->GetMemo(), 1);
  MKManikinPart* found = nullptr;
  Check(m && m->Length() > 0 && c->FindPart(MKPartMemoID, found, 1) == 1,
        "c->PasteFrom(b->GetMemo(), 1)");
  c->Destroy();

  MKEllipse* ellipse = b->GetEllipse(REHaPa);
  MKSkinElement* skin = ellipse ? ellipse->GetSegment()->GetSkinElement() : nullptr;
  const unsigned int meshes = skin ? skin->GetNumberOfMeshes() : 0;
  b->CreateCapMeshes(ellipse);
  Check(skin && (skin->GetNumberOfMeshes() > meshes) ==
                    (ellipse->HasBeginCap() || ellipse->HasEndCap()),
        "CreateCapMeshes(MKEllipse*)");

  // The vision cones: the caller's own copies.
  MKLineOfSight* l = manikin->GetVision()->GetLineOfSight(MKMiddleEye);
  MKBagOfMKMesh bag = l->GetCentralCone(MKProjectionOnPlane);
  MKBagOfMKMesh peripheral = l->GetPeripheralCone(MKProjectionOnSphere);
  const unsigned int held = bag.GetNumberOfMeshes();
  MKBagOfMKMesh later = l->GetCentralCone(MKProjectionOnSphere);
  Check(held > 0 && bag.GetNumberOfMeshes() == held && peripheral.GetNumberOfMeshes() > held,
        "MKBagOfMKMesh bag = l->GetCentralCone(...)");

  manikin->Destroy();
}

void PartFrame() {
  MKManikinPartFrame* f = MKManikinPartFrame::Create();
  const MK3DVertex v = f->GetFrame()->GetVector();
  Check(v.x == 0.0 && v.y == 0.0 && v.z == 0.0, "f->GetFrame()->GetVector()");
  f->Destroy();
}

// User databases by index, null beyond their count.
void UserDatabases() {
  MKDatabaseManager* dm = MKDatabaseManager::GetInstance();
  MKUserDBAnthro* population = dm->GetUserAnthroDBAtIndex(dm->GetNumberOfUserAnthroDB());
  MKUserDBJointLimits* limits = dm->GetUserJointLimitsDBAtIndex(dm->GetNumberOfUserJointLimitsDB());
  Check(population == nullptr && limits == nullptr,
        "dm->GetUserJointLimitsDBAtIndex(n), GetUserAnthroDBAtIndex(n)");
}

// The host's constraint object attached untyped, and the IK manager's memo.
void ExternalConstraint() {
  MKManikin* manikin = nullptr;
  if (MKManikin::Create(manikin, 1, 50, nullptr, 1, 1) != 0 || !manikin) {
    Check(false, "MKManikin::Create");
    return;
  }
  MKIKConstraint c;
  int hostObject = 0;
  void* handle = &hostObject;
  c.SetExternalConstraint(handle);
  const bool attached = c.GetExternalConstraint() == static_cast<MKKIIKConstraint_var>(handle);
  c.SetExternalConstraint(static_cast<void*>(nullptr));
  const MKMemo* memo = manikin->GetIKManager()->GetMemo();
  Check(attached && c.GetExternalConstraint() == nullptr && memo != nullptr,
        "c->SetExternalConstraint(void*), GetIKManager()->GetMemo()");
  manikin->Destroy();
}

}  // namespace

int main() {
  std::printf("libMKManikin %s: documented calls\n", MKMANIKIN_VERSION_STRING);
  Statuses();
  PasteRoutines();
  PartFrame();
  Manikin();
  UserDatabases();
  ExternalConstraint();
  std::printf(failures == 0 ? "all calls behave\n" : "%d call(s) misbehave\n", failures);
  return failures == 0 ? 0 : 1;
}
