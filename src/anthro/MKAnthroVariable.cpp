#include "anthro/MKAnthroVariable.h"

#include <cmath>

#include "anthro/MKAnthro.h"
#include "anthro/MKDBAnthro.h"
#include "anthro/MKDBAnthroVariable.h"
#include "math/MKIEEE.h"
#include "math/MKMathRoutines.h"
#include "parts/MKMemo.h"
#include "parts/MKPersistenceRoutines.h"

namespace {

const MK3DVertex kNotComputed(MKIEEE::NaN(), MKIEEE::NaN(), MKIEEE::NaN());

}  // namespace

MKAnthroVariable::MKAnthroVariable(MKAnthro* anthro, const MKDBAnthroVariable* dbVariable)
    : MKManikinPart(MKPartAnthroVariableID, 2.0),
      anthro(anthro),
      dbVariable(dbVariable),
      firstAnchorPoint(kNotComputed),
      secondAnchorPoint(kNotComputed) {
  if (dbVariable) {
    referenceNumber = static_cast<int>(dbVariable->GetReferenceNumber());
    calculatedMean = dbVariable->GetMean(Sex());
    calculatedStdDev = dbVariable->GetStdDev(Sex());
  }
}

MKAnthroVariable::MKAnthroVariable(const MKDBAnthro* database)
    : MKManikinPart(MKPartAnthroVariableID, 2.0),
      readDatabase(database),
      firstAnchorPoint(kNotComputed),
      secondAnchorPoint(kNotComputed) {}

MKAnthroVariable::MKAnthroVariable(const MKAnthroVariable& source)
    : MKManikinPart(source),
      anthro(source.anthro),
      dbVariable(source.dbVariable),
      readDatabase(source.readDatabase) {
  CopyStateFrom(source);
}

MKAnthroVariable::~MKAnthroVariable() = default;

void MKAnthroVariable::CopyStateFrom(const MKAnthroVariable& source) {
  carried = source.carried;
  managementType = source.managementType;
  value = source.value;
  calculatedMean = source.calculatedMean;
  calculatedStdDev = source.calculatedStdDev;
  referenceNumber = source.referenceNumber;
  firstAnchorPoint = source.firstAnchorPoint;
  secondAnchorPoint = source.secondAnchorPoint;
  circEllipse = source.circEllipse;
}

int MKAnthroVariable::Sex() const {
  return anthro ? anthro->GetSex() : 0;
}

double MKAnthroVariable::StatisticalMean() const {
  return dbVariable ? dbVariable->GetMean(Sex()) : MKIEEE::NaN();
}

double MKAnthroVariable::StatisticalStdDev() const {
  return dbVariable ? dbVariable->GetStdDev(Sex()) : MKIEEE::NaN();
}

double MKAnthroVariable::GetMean() const {
  return anthro && dbVariable ? dbVariable->GetMean(anthro->GetSex()) : 0.0;
}

double MKAnthroVariable::GetStdDev() const {
  return anthro && dbVariable ? dbVariable->GetStdDev(anthro->GetSex()) : 0.0;
}

double MKAnthroVariable::GetCorrelationValue(unsigned int partner) const {
  return anthro && dbVariable ? dbVariable->GetCorrelationValue(partner, anthro->GetSex()) : 0.0;
}

KelString MKAnthroVariable::GetAcronym() const {
  return dbVariable ? dbVariable->GetAcronym() : KelString();
}

KelUnicodeString MKAnthroVariable::GetName() const {
  return dbVariable ? dbVariable->GetName() : KelUnicodeString();
}

int MKAnthroVariable::IsACircumference() const {
  return dbVariable ? dbVariable->IsACircumference() : 0;
}

int MKAnthroVariable::IsAHeight() const {
  return dbVariable ? dbVariable->IsAHeight() : 0;
}

int MKAnthroVariable::IsALength() const {
  return dbVariable ? dbVariable->IsALength() : 0;
}

int MKAnthroVariable::IsABreadth() const {
  return dbVariable ? dbVariable->IsABreadth() : 0;
}

int MKAnthroVariable::IsADepth() const {
  return dbVariable ? dbVariable->IsADepth() : 0;
}

int MKAnthroVariable::IsAMass() const {
  return dbVariable ? dbVariable->IsAMass() : 0;
}

bool MKAnthroVariable::HasAGraphicalRep() const {
  return dbVariable ? dbVariable->HasAGraphicalRep() : false;
}

int MKAnthroVariable::GetBodyPart() const {
  return dbVariable ? dbVariable->GetBodyPart() : 0;
}

MKPostureSpec MKAnthroVariable::GetAnchorPointPosture() const {
  return dbVariable ? dbVariable->GetAnchorPointPosture() : MKPostureStanding;
}

MKSideSpec MKAnthroVariable::GetAnchorPointSide() const {
  return dbVariable ? dbVariable->GetAnchorPointSide() : MKSideNone;
}

double MKAnthroVariable::GetValueAsPercentile() const {
  if (!dbVariable) return 0.0;
  return MKMathRoutines::GaussianPercentileFromValue(StatisticalMean(), StatisticalStdDev(), value);
}

double MKAnthroVariable::GetMinValue() const {
  if (!anthro || anthro->GetInterpolationMethod() != 1) return 0.0;
  const double bound = anthro->GetLimitBound();
  return std::fmax(calculatedMean - bound * calculatedStdDev, GetMean() - 4.0 * GetStdDev());
}

double MKAnthroVariable::GetMaxValue() const {
  if (anthro && anthro->GetInterpolationMethod() == 1) {
    const double bound = anthro->GetLimitBound();
    return std::fmin(calculatedMean + bound * calculatedStdDev, GetMean() + 4.0 * GetStdDev());
  }
  return GetMean() + 10.0 * GetStdDev();
}

double MKAnthroVariable::GetTrustedValue(double v) const {
  if (!anthro || anthro->GetInterpolationMethod() == 0) return std::fabs(v);
  if (anthro->GetInterpolationMethod() != 1) return v;
  const double low = GetMinValue();
  const double high = GetMaxValue();
  if (v < low) return low;
  if (v > high) return high;
  return v;
}

MKStatus MKAnthroVariable::SetUserValue(double v) {
  managementType = 1;
  value = GetTrustedValue(v);
  return value != v ? MKStatusValueRefused : MKStatusSuccess;
}

MKStatus MKAnthroVariable::SetUserValueFromPercentile(double percentile) {
  if (!(percentile >= 0.0 && percentile <= 100.0)) return MKStatus(7);
  managementType = 1;
  if (dbVariable)
    value = MKMathRoutines::GaussianValueFromPercentile(StatisticalMean(), StatisticalStdDev(),
                                                        percentile);
  value = GetTrustedValue(value);
  return MKStatusSuccess;
}

MKStatus MKAnthroVariable::SetValue(double v) {
  SetManagementType(0);
  value = v;
  MKStatus status = MKStatusSuccess;
  if (!dbVariable || !anthro) return status;
  if (anthro->GetInterpolationMethod() == 1) {
    const double low = MKMathRoutines::GaussianValueFromPercentile(GetMean(), GetStdDev(), 0.0);
    const double high = MKMathRoutines::GaussianValueFromPercentile(GetMean(), GetStdDev(), 100.0);
    if (value < low) {
      value = low;
      status = MKStatusValueRefused;
    } else if (value > high) {
      value = high;
      status = MKStatusValueRefused;
    }
  }
  if (value < 0.0) {
    value = 0.0;
    status = MKStatusValueRefused;
  }
  return status;
}

MKStatus MKAnthroVariable::SetValueFromPercentile(double percentile) {
  if (!(percentile >= 0.0 && percentile <= 100.0)) return MKStatus(7);
  SetManagementType(0);
  if (!dbVariable) return MKStatus(7);
  value = MKMathRoutines::GaussianValueFromPercentile(StatisticalMean(), StatisticalStdDev(),
                                                      percentile);
  return MKStatusSuccess;
}

MKStatus MKAnthroVariable::SetManagementType(int type) {
  if (type == 1) {
    managementType = 1;
    return MKStatusSuccess;
  }
  if (type != 0) return MKStatus(10);
  managementType = 0;
  calculatedMean = GetMean();
  return MKStatusSuccess;
}

MKStatus MKAnthroVariable::SetCalculatedMean(double c) {
  if (managementType != 0 || !(c >= 0.0)) return MKStatusFailure;
  calculatedMean = c;
  return MKStatusSuccess;
}

MKStatus MKAnthroVariable::CheckCalculatedMean(double c) const {
  return c >= 0.0 ? MKStatusSuccess : MKStatusValueRefused;
}

MKStatus MKAnthroVariable::SetCalculatedStdDev(double c) {
  if (managementType != 0 || CheckCalculatedStdDev(c) != MKStatusSuccess) return MKStatusFailure;
  calculatedStdDev = c;
  return MKStatusSuccess;
}

MKStatus MKAnthroVariable::CheckCalculatedStdDev(double c) const {
  return c >= 0.0 && c <= GetStdDev() ? MKStatusSuccess : MKStatusValueRefused;
}

void MKAnthroVariable::InitAnchorPoints(const MK3DVertex& first, const MK3DVertex& second) {
  firstAnchorPoint = first;
  secondAnchorPoint = second;
}

MK3DVertex MKAnthroVariable::GetFirstAnchorPointTranslation() const {
  return dbVariable ? dbVariable->GetAnchorPointTranslation() : MK3DVertex();
}

MK3DVertex MKAnthroVariable::GetSecondAnchorPointTranslation() const {
  const MK3DVertex t = GetFirstAnchorPointTranslation();
  const double length = std::sqrt(t.x * t.x + t.y * t.y + t.z * t.z);
  if (length < 0.001) return t;
  const MK3DVertex unit(t.x / length, t.y / length, t.z / length);
  const double along = (secondAnchorPoint.x - firstAnchorPoint.x) * unit.x +
                       (secondAnchorPoint.y - firstAnchorPoint.y) * unit.y +
                       (secondAnchorPoint.z - firstAnchorPoint.z) * unit.z;
  return MK3DVertex(t.x - along * unit.x, t.y - along * unit.y, t.z - along * unit.z);
}

MKManikinPart* MKAnthroVariable::Memo() const {
  MKManikinPart* memo = nullptr;
  FindPart(MKPartMemoID, memo, 1);
  return memo;
}

unsigned int MKAnthroVariable::GetSize() const {
  unsigned int size = GetSizeOfTimeStamp() + 4 + 4 + 4 + 8 + 4;
  if (const MKManikinPart* memo = Memo()) size += memo->GetSize() + 2 * GetMaxTagLength() + 12;
  return size;
}

MKStatus MKAnthroVariable::Write(KelStreamDefinition& stream) {
  MKManikinPart* memo = Memo();
  MKStatus status = WriteBeginTag(GetPartID(), stream);
  if (status == MKStatusSuccess) status = WriteVersion(stream);
  if (status == MKStatusSuccess) status = WriteLength(stream);
  if (status == MKStatusSuccess) status = WriteTimeStamp(stream);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, memo ? 1 : 0);
  if (status == MKStatusSuccess && memo) status = memo->Write(stream);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, carried);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, managementType);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, value);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteInt(stream, referenceNumber);
  if (status == MKStatusSuccess) status = WriteEndTag(GetPartID(), stream);
  return status;
}

MKStatus MKAnthroVariable::Read(KelStreamDefinition& stream) {
  double stored = 0.0;
  return ReadRecord(stream, anthro ? anthro->GetValueType() : 0, Sex(), stored);
}

MKStatus MKAnthroVariable::ReadRecord(KelStreamDefinition& stream, int valueType, int sex,
                                      double& stored) {
  long stamp = GetTimeStamp();
  double version = 0.0;
  MKStatus status = ReadRecordHeader(stream, version, stamp, GetPartID());
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);

  int memoCount = 0;
  if ((status = MKPersistenceRoutines::ReadInt(stream, memoCount)) != MKStatusSuccess)
    return MKPersistenceRoutines::StoppedEarly(status);
  if (memoCount != 0 && memoCount != 1) return MKStatusStreamContent;
  MKMemo memo;
  bool memoRead = false;
  if (memoCount == 1) {
    KelString tag;
    unsigned int length = 0;
    if ((status = ReadTagBegin(stream, tag)) != MKStatusSuccess) return status;
    if (tag != sMKPartMemoID) return MKStatusStreamContent;
    if ((status = ReadVersionAndLength(stream, version, length)) != MKStatusSuccess)
      return MKPersistenceRoutines::StoppedEarly(status);
    if (version > memo.GetVersion()) {
      if (!stream.Advance(static_cast<long>(length) + GetMaxTagLength()))
        return MKStatusStreamContent;
    } else {
      if ((status = memo.Read(stream)) != MKStatusSuccess)
        return MKPersistenceRoutines::StoppedEarly(status);
      memo.SetAsReadFromLibrary();
      memoRead = true;
    }
  }

  int readCarried = 0, readType = 0, readReference = 0;
  double readValue = 0.0;
  status = MKPersistenceRoutines::ReadInt(stream, readCarried);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readType);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, readValue);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, readReference);
  if (status == MKStatusSuccess) status = ReadEndTag(stream, GetPartID());
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  if (readType != 0 && readType != 1) return MKStatusStreamContent;
  if (!std::isfinite(readValue)) return MKStatusStreamContent;

  stored = readValue;
  if (valueType == 1) {
    if (!(readValue >= 0.0 && readValue <= 100.0)) return MKStatusStreamContent;
    // The number is a percentile of the database variable of that number.
    const MKDBAnthro* database = readDatabase;
    if (!database && anthro) database = anthro->GetDatabase();
    const MKDBAnthroVariable* source =
        database && readReference >= 0
            ? database->GetVariableFromRefNumber(static_cast<unsigned int>(readReference))
            : nullptr;
    if (!source) return MKStatusStreamContent;
    readValue = MKMathRoutines::GaussianValueFromPercentile(source->GetMean(sex),
                                                            source->GetStdDev(sex), readValue);
  }

  RemoveAllParts();
  if (memoRead) AddPart(&memo);
  SetTimeStamp(stamp);
  carried = readCarried;
  managementType = readType;
  value = readValue;
  referenceNumber = readReference;
  return MKStatusSuccess;
}

MKStatus MKAnthroVariable::PasteFrom(const MKManikinPart* source, unsigned char) {
  if (!source) return MKStatusNothingToPaste;
  if (source->GetPartID() == MKPartMemoID) return PasteMemoOnPart(source);
  if (source->GetPartID() != MKPartAnthroVariableID) return MKStatusPasteKindRefused;
  if (source == this) return MKStatusSuccess;
  const auto* variable = static_cast<const MKAnthroVariable*>(source);
  RemoveAllParts();
  if (const MKManikinPart* memo = variable->Memo()) AddPart(memo);
  SetTimeStamp(variable->GetTimeStamp());
  carried = variable->carried;
  managementType = variable->managementType;
  value = variable->value;
  return MKStatusSuccess;
}
