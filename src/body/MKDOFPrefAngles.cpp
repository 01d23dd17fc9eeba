// Preferred-angle zones of a DOF: creation, editing, ranges and scores.
#include <cmath>
#include <limits>

#include "body/MKDOF.h"
#include "body/MKPrefAngle.h"
#include "body/MKSegment.h"
#include "math/MKUnitConversions.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"

namespace {

constexpr double kRangeToleranceDegrees = 0.001;

KelUnicodeString ZoneName(int number) {
  KelUnicodeString digits;
  digits.BuildFromNum(number, "%d");
  return KelUnicodeString("Pref. angle ") + digits;
}

double Degrees(double radians) {
  return MKUnitConversions::RadiansToDegrees(radians);
}

}  // namespace

unsigned int MKDOF::GetNumberOfPrefAngles() const {
  return static_cast<unsigned int>(prefAngles.Size());
}

MKPrefAngle* MKDOF::GetPrefAngle(unsigned int i) const {
  if (i >= GetNumberOfPrefAngles()) return nullptr;
  return static_cast<MKPrefAngle*>(prefAngles[static_cast<int>(i) + 1]);
}

MKPrefAngle* MKDOF::GetPrefAngle(const KelUnicodeString& name) const {
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i)
    if (GetPrefAngle(i)->GetName() == name) return GetPrefAngle(i);
  return nullptr;
}

MKPrefAngle* MKDOF::GetPrefAngleFromID(const KelString& id) const {
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i) {
    KelString zoneID;
    GetPrefAngle(i)->GetID(zoneID);
    if (zoneID == id) return GetPrefAngle(i);
  }
  return nullptr;
}

void MKDOF::InitializePrefAngles() {
  if (GetNumberOfPrefAngles() > 0) return;
  auto* zone = new MKPrefAngle(this);
  zone->SetMin(-minLimNoCoupling);
  zone->SetMax(maxLimNoCoupling);
  zone->SetName(ZoneName(1));
  zone->SetIndex(0);
  prefAngles.Append(zone);
}

MKPrefAngle* MKDOF::AddPrefAngle() {
  auto* zone = new MKPrefAngle(this);
  const MKPrefAngle* last = GetPrefAngle(GetNumberOfPrefAngles() - 1);
  zone->SetMin(last ? last->GetMin() : -minLimNoCoupling);
  zone->SetMax(last ? last->GetMax() : maxLimNoCoupling);
  prefAngles.Append(zone);
  const int count = static_cast<int>(GetNumberOfPrefAngles());
  zone->SetIndex(count - 1);
  zone->SetName(ZoneName(count + 1));
  UpdatePrefAngleIndices();
  UpdateVisionPrefAngles();
  return zone;
}

MKPrefAngle* MKDOF::InsertPrefAngleAfter(unsigned int i, double angle) {
  if (i >= GetNumberOfPrefAngles()) return nullptr;
  MKPrefAngle* above = GetPrefAngle(i);
  // The new zone takes the part of zone i below the angle.
  if (angle > above->GetMax()) angle = above->GetMax();
  if (angle < above->GetMin()) angle = above->GetMin();
  if (IsSpineGroupStart()) {
    // The other vertebrae of the run split their zone i at the same fraction.
    const double width = above->GetMax() - above->GetMin();
    const double t = width > 0 ? (angle - above->GetMin()) / width : 0.0;
    const KelRawCollPV members = GetSpineDofList();
    for (int k = 1; k <= members.Size(); ++k) {
      auto* m = static_cast<MKDOF*>(members[k]);
      const MKPrefAngle* zone = m->GetPrefAngle(i);
      if (m != this && zone)
        m->InsertPrefAngleAfter(i, zone->GetMin() + t * (zone->GetMax() - zone->GetMin()));
    }
  }
  auto* zone = new MKPrefAngle(this);
  zone->SetMin(above->GetMin());
  zone->SetMax(angle);
  above->SetMin(angle);
  prefAngles.InsertAt(static_cast<int>(i) + 2, zone);
  zone->SetName(ZoneName(static_cast<int>(GetNumberOfPrefAngles()) + 1));
  UpdatePrefAngleIndices();
  CheckAngleContinuity(UpdateAll, 0);
  UpdateVisionPrefAngles();
  return zone;
}

MKPrefAngle* MKDOF::InsertPrefAngle(double a, double b, double score) {
  const unsigned int count = GetNumberOfPrefAngles();
  if (b > a || count == 0) return nullptr;
  const double top = GetPrefAngle(0)->GetMax();
  const double bottom = GetPrefAngle(count - 1)->GetMin();
  if (b > top || a < bottom) return nullptr;  // wholly outside the zones
  if (a > top) a = top;
  if (b < bottom) b = bottom;

  // Zones overlapping [b, a] give up that part; one that spans it is split.
  for (unsigned int k = 0; k < GetNumberOfPrefAngles(); ++k) {
    MKPrefAngle* zone = GetPrefAngle(k);
    const double lo = zone->GetMin(), hi = zone->GetMax();
    if (hi <= b || lo >= a) continue;
    if (lo < b && hi > a) {
      auto* lower = new MKPrefAngle(*zone);
      lower->SetMax(b);
      zone->SetMin(a);
      prefAngles.InsertAt(static_cast<int>(k) + 2, lower);
      ++k;
    } else if (hi > a) {
      zone->SetMin(a);
    } else if (lo < b) {
      zone->SetMax(b);
    } else {
      zone->SetMin(zone->GetMax());  // swallowed: removed as a null zone below
    }
  }
  // The new zone goes where its max falls, walking from the last zone up.
  unsigned int position = GetNumberOfPrefAngles();
  while (position > 0 && GetPrefAngle(position - 1)->GetMin() < a) --position;
  auto* zone = new MKPrefAngle(this);
  zone->SetMin(b);
  zone->SetMax(a);
  zone->SetScore(score);
  prefAngles.InsertAt(static_cast<int>(position) + 1, zone);
  zone->SetName(ZoneName(static_cast<int>(GetNumberOfPrefAngles()) + 1));
  if (b < a) RemoveNullPrefAngles();
  UpdatePrefAngleIndices();
  UpdateVisionPrefAngles();
  return zone;
}

bool MKDOF::RemovePrefAngle(unsigned int i) {
  const unsigned int count = GetNumberOfPrefAngles();
  if (i >= count || count == 1) return false;  // a DOF always keeps a zone
  MKPrefAngle* zone = GetPrefAngle(i);
  // The neighbour above (or, for the top zone, below) takes over its interval.
  if (i > 0)
    GetPrefAngle(i - 1)->SetMin(zone->GetMin());
  else
    GetPrefAngle(1)->SetMax(zone->GetMax());
  prefAngles.RemovePosition(static_cast<int>(i) + 1);
  zone->Destroy();
  UpdatePrefAngleIndices();
  UpdateVisionPrefAngles();
  return true;
}

bool MKDOF::RemovePrefAngleInRange(unsigned int k) {
  unsigned int seen = 0;
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i)
    if (IsPrefAngleInRange(i) && seen++ == k) return RemovePrefAngle(i);
  return false;
}

unsigned int MKDOF::RemoveNullPrefAngles() {
  if (IsSpineGroupStart()) {
    const KelRawCollPV members = GetSpineDofList();
    for (int k = 1; k <= members.Size(); ++k)
      if (members[k] != this) static_cast<MKDOF*>(members[k])->RemoveNullPrefAngles();
  }
  for (int i = prefAngles.Size(); i >= 1; --i) {
    auto* zone = static_cast<MKPrefAngle*>(prefAngles[i]);
    if (zone->GetMin() != zone->GetMax()) continue;
    prefAngles.RemovePosition(i);
    zone->Destroy();
  }
  UpdatePrefAngleIndices();
  if (GetNumberOfPrefAngles() == 1) GetPrefAngle(0)->SetScore(0.0);
  return GetNumberOfPrefAngles();
}

void MKDOF::RemoveAllPrefAngles() {
  for (int i = 1; i <= prefAngles.Size(); ++i) static_cast<MKPrefAngle*>(prefAngles[i])->Destroy();
  prefAngles.RemoveAll();
}

MKStatus MKDOF::SetPrefAngleMin(unsigned int i, double angle) {
  MKPrefAngle* zone = GetPrefAngle(i);
  const MKPrefAngle* below = GetPrefAngle(i + 1);
  if (!zone || angle > zone->GetMax() || (below && angle < below->GetMin()))
    return MKStatusValueRefused;
  zone->SetMin(angle);
  CheckAngleContinuity(UpdateFromMin, i);
  UpdateVisionPrefAngles();
  return MKStatusSuccess;
}

MKStatus MKDOF::SetPrefAngleMax(unsigned int i, double angle) {
  MKPrefAngle* zone = GetPrefAngle(i);
  const MKPrefAngle* above = i > 0 ? GetPrefAngle(i - 1) : nullptr;
  if (!zone || angle < zone->GetMin() || (above && angle > above->GetMax()))
    return MKStatusValueRefused;
  zone->SetMax(angle);
  CheckAngleContinuity(UpdateFromMax, i);
  UpdateVisionPrefAngles();
  return MKStatusSuccess;
}

void MKDOF::UpdatePrefAngleIndices() {
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i)
    GetPrefAngle(i)->SetIndex(static_cast<int>(i));
}

void MKDOF::CheckAngleContinuity(MKDOFUpdateMode mode, unsigned int index) {
  const unsigned int count = GetNumberOfPrefAngles();
  if (mode == UpdateFromMin) {
    if (index + 1 < count) GetPrefAngle(index + 1)->SetMax(GetPrefAngle(index)->GetMin());
  } else if (mode == UpdateFromMax) {
    if (index > 0 && index < count) GetPrefAngle(index - 1)->SetMin(GetPrefAngle(index)->GetMax());
  } else {
    for (unsigned int i = 1; i < count; ++i) GetPrefAngle(i)->SetMax(GetPrefAngle(i - 1)->GetMin());
  }
}

void MKDOF::SynchronizePrefAngles() {
  // Zones follow their DOF's identity (after a read or a copy) and position.
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i) {
    GetPrefAngle(i)->SetOwner(this);
    GetPrefAngle(i)->SetIndex(static_cast<int>(i));
  }
  UpdateVisionPrefAngles();
}

void MKDOF::UpdateVisionPrefAngles() {
  // Only the lines of sight keep other zones in step with their own: the
  // eyes move together, so a line's zones are copied onto the same axis of
  // the vision's other lines. The copies report back here; the guard stops
  // them going round. Per thread: other threads copy other manikins' zones.
  thread_local bool copying = false;
  const MKLineOfSight* line = GetOwnerLineOfSight();
  const MKVision* vision = line ? line->GetVision() : nullptr;
  if (copying || !vision) return;
  copying = true;
  for (MKShortName name : {LLHeEye, MLHeEye, RLHeEye}) {
    const MKLineOfSight* other = vision->GetLineOfSight(name);
    MKDOF* twin = other && other != line ? other->GetDOF(static_cast<unsigned int>(axis)) : nullptr;
    if (!twin) continue;
    twin->RemoveAllPrefAngles();
    for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i) {
      auto* zone = new MKPrefAngle(twin);
      zone->PasteFrom(GetPrefAngle(i), 1);
      zone->SetIndex(static_cast<int>(i));
      twin->prefAngles.Append(zone);
    }
  }
  copying = false;
}

bool MKDOF::IsSpineGroupStart() const {
  return IsSpineDOF() &&
         (ownerShortName == SBoL5 || ownerShortName == SBoT12 || ownerShortName == SHeNe);
}

bool MKDOF::IsPrefAngleInRange(unsigned int i) const {
  const MKPrefAngle* zone = GetPrefAngle(i);
  if (!zone) return false;
  // A spine run compares the run's zone with the run's limits.
  const bool spine = IsSpineGroupStart();
  const double low = -Degrees(spine ? spineMinLim : GetMinLim(false));
  const double high = Degrees(spine ? spineMaxLim : GetMaxLim(false));
  const double zoneMin = Degrees(spine ? GetMinOfSpinePref(i) : zone->GetMin());
  const double zoneMax = Degrees(spine ? GetMaxOfSpinePref(i) : zone->GetMax());
  const double t = kRangeToleranceDegrees;
  // Outside the limits, or no more than touching one of them.
  return zoneMax > low + t && zoneMin < high - t;
}

unsigned int MKDOF::GetNumberOfPrefAnglesInRange() const {
  unsigned int count = 0;
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i)
    if (IsPrefAngleInRange(i)) ++count;
  return count;
}

MKPrefAngle* MKDOF::GetPrefAngleInRange(unsigned int k) const {
  unsigned int seen = 0;
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i)
    if (IsPrefAngleInRange(i) && seen++ == k) return GetPrefAngle(i);
  return nullptr;
}

double MKDOF::GetScore() const {
  const double v = GetMathematicalValue();
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i) {
    const MKPrefAngle* zone = GetPrefAngle(i);
    if (IsPrefAngleInRange(i) && zone->GetMin() <= v && v <= zone->GetMax())
      return zone->GetScore();
  }
  return 0.0;
}

int MKDOF::GetColor() const {
  const double v = GetMathematicalValue();
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i) {
    const MKPrefAngle* zone = GetPrefAngle(i);
    if (IsPrefAngleInRange(i) && zone->GetMin() <= v && v <= zone->GetMax())
      return zone->GetColor();
  }
  return 0;
}

double MKDOF::GetMaxScore() const {
  double best = -std::numeric_limits<double>::infinity();
  if (!owner) return best;
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i)
    if (IsPrefAngleInRange(i) && GetPrefAngle(i)->GetScore() > best)
      best = GetPrefAngle(i)->GetScore();
  return best;
}

bool MKDOF::GetPrefAngleIndexWithHighestScore(int& k) const {
  k = -1;
  const double best = GetMaxScore();
  bool found = false;
  for (unsigned int i = 0; i < GetNumberOfPrefAngles(); ++i) {
    if (!IsPrefAngleInRange(i)) continue;
    found = true;
    if (GetPrefAngle(i)->GetScore() == best) k = static_cast<int>(i);
  }
  return found;
}

void MKDOF::SetToHighestScore() {
  if (GetNumberOfPrefAngles() < 2) return;
  int k = -1;
  if (!GetPrefAngleIndexWithHighestScore(k) || k < 0) return;
  const MKPrefAngle* zone = GetPrefAngle(static_cast<unsigned int>(k));
  if (owner && owner->GetMKClassName() == MKSegmentClass) {
    const auto* segment = static_cast<const MKSegment*>(owner);
    // Vertebrae move through their spine view, never one by one.
    if (segment->IsPartOfSpine() || segment->IsPartOfCervical()) {
      if (!IsSpineDOF()) return;
      const double m = (GetMaxOfSpinePref(static_cast<unsigned int>(k)) +
                        GetMinOfSpinePref(static_cast<unsigned int>(k))) *
                       0.5;
      SetValueOfSpineDof(std::fabs(m), m >= 0 ? 1 : -1);
      return;
    }
  }
  const double m = (zone->GetMax() + zone->GetMin()) * 0.5;
  SetValue(std::fabs(m), m >= 0 ? 1 : -1);
}

MKStatus MKDOF::SetLimitsToMatchBestPrefAngle() {
  if (GetNumberOfPrefAngles() == 0) return MKStatusValueRefused;
  int k = -1;
  if (!GetPrefAngleIndexWithHighestScore(k) || k < 0) return MKStatusSuccess;
  const MKPrefAngle* zone = GetPrefAngle(static_cast<unsigned int>(k));
  if (IsSpineDOF()) {
    // Every vertebra takes its own zone k as limits; the run takes the sums.
    const KelRawCollPV members = GetSpineDofList();
    for (int i = 1; i <= members.Size(); ++i) {
      auto* m = static_cast<MKDOF*>(members[i]);
      const MKPrefAngle* own = m->GetPrefAngle(static_cast<unsigned int>(k));
      if (!own) continue;
      const bool relock = m->AreLimitsLocked();
      if (relock) m->UnlockLimits();
      m->SetMinLim(-own->GetMin());
      m->SetMaxLim(own->GetMax());
      if (relock) m->LockLimits();
    }
    spineMinLim = -GetMinOfSpinePref(static_cast<unsigned int>(k));
    spineMaxLim = GetMaxOfSpinePref(static_cast<unsigned int>(k));
    return MKStatusSuccess;
  }
  const double low = std::fmax(zone->GetMin(), -GetMinLim(false));
  const double high = std::fmin(zone->GetMax(), GetMaxLim(false));
  // The mathematical value is tested: a value on the negative side must lie
  // in the negative part of the zone.
  const double v = GetMathematicalValue();
  if (state != ValueLocked && (v < low || v > high)) return MKStatusValueRefused;
  const bool relock = AreLimitsLocked();
  if (relock) UnlockLimits();
  SetMinLim(-low);
  SetMaxLim(high);
  if (relock) LockLimits();
  return MKStatusSuccess;
}
