// The vision as a part: its record, paste and extraction, and the readers
// of the vision's record kinds.
#include <cmath>
#include <vector>

#include "math/MKIEEE.h"
#include "parts/MKMemo.h"
#include "parts/MKPersistenceRoutines.h"
#include "parts/detail/MKPartReaders.h"
#include "vision/MKLineOfSight.h"
#include "vision/MKVision.h"
#include "vision/MKVisualLimitsVariable.h"

namespace {

constexpr int kAngleCount = 5;

// Records up to this version hold the active side where newer ones hold the type.
constexpr double kLastSideVersion = 2.0;

MKVisionSide SideOfType(int type) {
  if (type == MKVisionLeftMonocular) return MKVisionLeftSide;
  if (type == MKVisionRightMonocular) return MKVisionRightSide;
  return MKVisionMiddleSide;
}

// A vision record holds values straight from a file; those no eye can hold
// are refused as a whole, the rest go through the setters, which clamp. The
// farthest finite distance read: 1000 km, where every eye already focuses at
// infinity and a step of a hundredth of a centimetre still moves a point.
constexpr double kFarthestDistance = 1.0e8;

bool IsDistance(double d) {
  return d >= 0.0 && d <= kFarthestDistance;
}

// Focal distance: a distance, or infinity for eyes that look at infinity.
// Proximum: a distance. Remotum: a distance or infinity. Eye angles:
// finite and within half a turn. Field angles: anything but NaN, since the
// setters bring every number into its limits.
bool HoldsPhysicalValues(double distance, const double vertical[3], const double horizontal[3],
                         double proximum, double remotum, const double angles[kAngleCount]) {
  const double infinite = MKIEEE::Infinite();
  if (!IsDistance(distance) && distance != infinite) return false;
  if (!IsDistance(proximum) || (!IsDistance(remotum) && remotum != infinite)) return false;
  for (int side = 0; side < 3; ++side)
    if (!(std::fabs(vertical[side]) <= M_PI && std::fabs(horizontal[side]) <= M_PI)) return false;
  for (int i = 0; i < kAngleCount; ++i)
    if (std::isnan(angles[i])) return false;
  return true;
}

MKVisionType TypeOfSide(int side) {
  if (side == MKVisionLeftSide) return MKVisionLeftMonocular;
  if (side == MKVisionRightSide) return MKVisionRightMonocular;
  return MKVisionBinocular;
}

MKManikinPart* NewVision(MKPartID) {
  return new MKVision();
}
MKManikinPart* NewVisualLimits(MKPartID) {
  return new MKVisualLimitsVariable(KelUnicodeString());
}

const bool registered = [] {
  MKRegisterPartReader(MKPartVisionID, NewVision);
  MKRegisterPartReader(MKPartVisualLimitsVariableID, NewVisualLimits);
  return true;
}();

// The version of the record being read: the stream is just past its version
// and length.
MKStatus RecordVersion(KelStreamDefinition& stream, double& version) {
  const long position = stream.GetCurrentPosition();
  stream.Reset();
  if (!stream.Advance(position - 12)) return MKStatusStreamContent;
  unsigned int length = 0;
  return MKManikinPart::ReadVersionAndLength(stream, version, length);
}

}  // namespace

// Paste and extraction -----------------------------------------------------------

MKStatus MKVision::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  switch (source->GetPartID()) {
    case MKPartMemoID:
      return PasteMemoOnPart(source);
    case MKPartVisualLimitsID:
      RemoveUserVisualLimits();
      for (unsigned int i = 1; i <= source->GetNumberOfChildrenParts(); ++i) {
        const MKManikinPart* child = source->GetChild(static_cast<int>(i));
        if (child && child->GetPartID() == MKPartVisualLimitsVariableID)
          AddVisualLimitsVariable(static_cast<const MKVisualLimitsVariable*>(child));
      }
      return MKStatusSuccess;
    case MKPartVisualLimitsVariableID:
      return AddVisualLimitsVariable(static_cast<const MKVisualLimitsVariable*>(source));
    case MKPartVisionID:
      break;
    default:
      return MKStatusPasteKindRefused;
  }
  const auto* vision = static_cast<const MKVision*>(source);
  if (vision == this) return MKStatusSuccess;
  MKManikinPart* memo = nullptr;
  if (vision->FindPart(MKPartMemoID, memo, 1) != 0) PasteMemoOnPart(memo);
  RemoveUserVisualLimits();
  for (unsigned int i = 1; i < vision->GetNumberOfVisualLimitsVariables(); ++i)
    AddVisualLimitsVariable(vision->GetVisualLimitsVariable(i));
  if (LinkToVisualLimitsVariable(vision->GetLinkedVisualLimitsIndex()) != MKStatusSuccess)
    LinkToVisualLimitsVariable(0);
  activeSide = vision->activeSide;
  type = vision->type;
  ponctumProximum = 0.0;
  ponctumRemotum = MKIEEE::Infinite();
  convergenceMode = vision->convergenceMode;
  // The field angles come first: they bound the eyes that the looks then move.
  SetFieldAngles(vision->GetBinocularAngle(), vision->GetAmbinocularAngle(),
                 vision->GetVerticalTopAngle(), vision->GetVerticalBottomAngle(),
                 vision->GetCentralConeAngle());
  double vertical[3], horizontal[3];
  for (int side = 0; side < 3; ++side)
    vision->GetSideAngles(side, vertical[side], horizontal[side]);
  const double distance = vision->GetFocalDistance();
  LookAgain(distance, vertical, horizontal);
  if (std::isinf(distance)) {
    ponctumProximum = vision->ponctumProximum;
    ponctumRemotum = vision->ponctumRemotum;
  } else {
    SetPonctumProximum(vision->ponctumProximum);
    SetPonctumRemotum(vision->ponctumRemotum);
  }
  SettleOnRecord(distance, vertical, horizontal);
  return MKStatusSuccess;
}

void MKVision::SetFieldAngles(double binocular, double ambinocular, double verticalTop,
                              double verticalBottom, double centralCone) {
  // The binocular angle is bounded by the ambinocular one: open that first.
  ambinocularAngle = GetMaxAmbinocularAngle();
  deferLimits = true;
  SetBinocularAngle(binocular);
  SetAmbinocularAngle(ambinocular);
  SetVerticalTopAngle(verticalTop);
  SetVerticalBottomAngle(verticalBottom);
  SetCentralConeAngle(centralCone);
  deferLimits = false;
  UpdateDeviationLimits();
}

void MKVision::LookAgain(double distance, const double vertical[3], const double horizontal[3]) {
  if (convergenceMode) {
    LookAt(distance, vertical[activeSide], horizontal[activeSide]);
    return;
  }
  const int saved = activeSide;
  for (int side = 0; side < 3; ++side) {
    activeSide = side;
    LookAt(distance, vertical[side], horizontal[side]);
  }
  activeSide = saved;
}

void MKVision::SettleOnRecord(double distance, const double vertical[3],
                              const double horizontal[3]) {
  // A look at a finite distance goes through a point and back to angles,
  // and so lands within rounding of the record; a look that went elsewhere
  // (refused, bounded) is left as it is. With convergence the middle line
  // took the active side's angles, without it each line its own.
  if (!manikin || !std::isfinite(distance)) return;
  constexpr double kRounding = 1e-9;
  const int first = convergenceMode ? MKMiddleEye : 0;
  const int last = convergenceMode ? MKMiddleEye : 2;
  for (int side = first; side <= last; ++side) {
    const int recorded = convergenceMode ? activeSide : side;
    double v, h;
    GetSideAngles(side, v, h);
    if (!(std::fabs(v - vertical[recorded]) <= kRounding &&
          std::fabs(h - horizontal[recorded]) <= kRounding))
      return;
  }
  if (!(std::fabs(GetFocalDistance() - distance) <= kRounding * distance)) return;
  for (int side = first; side <= last; ++side) {
    const int recorded = convergenceMode ? activeSide : side;
    TurnLine(lineOfSight[side], horizontal[recorded], vertical[recorded]);
  }
  settled = Settled{distance, activeSide, GetEyePosition(MKEye(activeSide)), focusPoint};
}

MKManikinPart* MKVision::ExtractPart(MKPartID kind, unsigned int index, KelRawCollint*) const {
  switch (kind) {
    case MKPartMemoID: {
      MKManikinPart* memo = nullptr;
      return FindPart(MKPartMemoID, memo, 1) != 0 ? memo->Clone() : nullptr;
    }
    case MKPartVisualLimitsVariableID: {
      const MKVisualLimitsVariable* record = GetVisualLimitsVariable(index);
      return record ? record->Clone() : nullptr;
    }
    case MKPartVisualLimitsID: {
      if (GetNumberOfVisualLimitsVariables() < 2) return nullptr;
      auto* container = new MKManikinPart(MKPartVisualLimitsID, GetVersion());
      for (unsigned int i = 1; i < GetNumberOfVisualLimitsVariables(); ++i)
        container->PasteFrom(GetVisualLimitsVariable(i), 1);
      return container;
    }
    default:
      return nullptr;
  }
}

// Record -------------------------------------------------------------------------

unsigned int MKVision::GetSize() const {
  // child count, convergence, focal distance, three pairs of angles, type,
  // two ponctum limits, five field angles, linked index, record count
  unsigned int size =
      MKManikinPart::GetSize() + 4 + 4 + 8 + 6 * 8 + 4 + 2 * 8 + kAngleCount * 8 + 4 + 4;
  for (unsigned int i = 1; i < GetNumberOfVisualLimitsVariables(); ++i)
    size += GetVisualLimitsVariable(i)->GetSize() +
            2 * static_cast<unsigned int>(GetMaxTagLength()) + 12;
  return size;
}

MKStatus MKVision::Write(KelStreamDefinition& stream) {
  MKManikinPart* memo = nullptr;
  FindPart(MKPartMemoID, memo, 1);
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteOptionalPart(stream, memo);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, convergenceMode);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteDouble(stream, GetFocalDistance());
  for (int side = 0; side < 3 && status == MKStatusSuccess; ++side) {
    double vertical, horizontal;
    GetSideAngles(side, vertical, horizontal);
    status = MKPersistenceRoutines::WriteDouble(stream, vertical);
    if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, horizontal);
  }
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, type);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteDouble(stream, ponctumProximum);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteDouble(stream, ponctumRemotum);
  const double angles[kAngleCount] = {GetBinocularAngle(), GetAmbinocularAngle(),
                                      GetVerticalTopAngle(), GetVerticalBottomAngle(),
                                      GetCentralConeAngle()};
  for (int i = 0; i < kAngleCount && status == MKStatusSuccess; ++i)
    status = MKPersistenceRoutines::WriteDouble(stream, angles[i]);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, linkedLimits);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(
        stream, static_cast<int>(GetNumberOfVisualLimitsVariables()) - 1);
  for (unsigned int i = 1; i < GetNumberOfVisualLimitsVariables() && status == MKStatusSuccess; ++i)
    status = GetVisualLimitsVariable(i)->Write(stream);
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

namespace {

// Reads the visual-limit records that follow a vision's fields; a record
// newer than its reader is skipped.
MKStatus ReadVisualLimits(KelStreamDefinition& stream, int count,
                          std::vector<MKVisualLimitsVariable*>& records) {
  MKStatus status = MKStatusSuccess;
  for (int i = 0; i < count && status == MKStatusSuccess; ++i) {
    KelString tag;
    double version = 0;
    unsigned int length = 0;
    status = MKManikinPart::ReadTagBegin(stream, tag);
    if (status == MKStatusSuccess)
      status = MKManikinPart::ReadVersionAndLength(stream, version, length);
    if (status == MKStatusSuccess &&
        tag != MKManikinPart::ConvertPartIDToString(MKPartVisualLimitsVariableID))
      status = MKStatusStreamContent;
    if (status != MKStatusSuccess) break;
    auto* record = new MKVisualLimitsVariable(KelUnicodeString());
    if (version > record->GetVersion()) {
      if (!stream.Advance(static_cast<long>(length) + MKManikinPart::GetMaxTagLength()))
        status = MKStatusStreamContent;
    } else {
      status = record->Read(stream);
    }
    if (status == MKStatusSuccess && version <= record->GetVersion())
      records.push_back(record);
    else
      record->Destroy();
  }
  return status;
}

}  // namespace

MKStatus MKVision::Read(KelStreamDefinition& stream) {
  double version = 0;
  MKStatus status = RecordVersion(stream, version);
  MKManikinPart* memo = nullptr;
  int readConvergence = 1, readTypeOrSide = 0, readLinked = 0, readCount = 0;
  double distance = 0, proximum = 0, remotum = 0;
  double vertical[3] = {}, horizontal[3] = {}, angles[kAngleCount] = {};
  std::vector<MKVisualLimitsVariable*> records;
  using Routines = MKPersistenceRoutines;
  if (status == MKStatusSuccess) status = ReadMemo(stream, memo);
  if (status == MKStatusSuccess) status = Routines::ReadInt(stream, readConvergence);
  if (status == MKStatusSuccess) status = Routines::ReadDouble(stream, distance);
  for (int side = 0; side < 3 && status == MKStatusSuccess; ++side) {
    status = Routines::ReadDouble(stream, vertical[side]);
    if (status == MKStatusSuccess) status = Routines::ReadDouble(stream, horizontal[side]);
  }
  if (status == MKStatusSuccess) status = Routines::ReadInt(stream, readTypeOrSide);
  if (status == MKStatusSuccess) status = Routines::ReadDouble(stream, proximum);
  if (status == MKStatusSuccess) status = Routines::ReadDouble(stream, remotum);
  for (int i = 0; i < kAngleCount && status == MKStatusSuccess; ++i)
    status = Routines::ReadDouble(stream, angles[i]);
  if (status == MKStatusSuccess &&
      !HoldsPhysicalValues(distance, vertical, horizontal, proximum, remotum, angles))
    status = MKStatusStreamContent;
  if (status == MKStatusSuccess) status = Routines::ReadInt(stream, readLinked);
  if (status == MKStatusSuccess) status = Routines::ReadInt(stream, readCount);
  if (status == MKStatusSuccess && readCount < 0) status = MKStatusStreamContent;
  if (status == MKStatusSuccess) status = ReadVisualLimits(stream, readCount, records);
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());

  if (status == MKStatusSuccess) {
    RemoveAllParts();
    AddPart(memo);
    RemoveUserVisualLimits();
    for (MKVisualLimitsVariable* record : records) AddVisualLimitsVariable(record);
    if (readLinked < 0 ||
        LinkToVisualLimitsVariable(static_cast<unsigned int>(readLinked)) != MKStatusSuccess)
      LinkToVisualLimitsVariable(0);
    if (version <= kLastSideVersion) {
      type = TypeOfSide(readTypeOrSide);
      activeSide = SideOfType(type);
    } else {
      type = readTypeOrSide;
      activeSide = SideOfType(type);
    }
    convergenceMode = static_cast<unsigned char>(readConvergence);
    ponctumProximum = 0.0;
    ponctumRemotum = MKIEEE::Infinite();
    SetFieldAngles(angles[0], angles[1], angles[2], angles[3], angles[4]);
    LookAgain(distance, vertical, horizontal);
    SetPonctumProximum(proximum);
    SetPonctumRemotum(remotum);
    SettleOnRecord(distance, vertical, horizontal);
  }
  for (MKVisualLimitsVariable* record : records) record->Destroy();
  if (memo) memo->Destroy();
  return MKPersistenceRoutines::StoppedEarly(status);
}
