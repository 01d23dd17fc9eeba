#include "anthro/MKUserDBAnthroVariable.h"

#include <cmath>

#include "anthro/MKDBAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "parts/MKManikinPart.h"
#include "parts/MKPersistenceRoutines.h"

namespace {

// Writes one double after another while the status is 0.
MKStatus WriteDoubles(KelStreamDefinition& stream, std::initializer_list<double> values) {
  MKStatus status = MKStatusSuccess;
  for (double value : values)
    if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, value);
  return status;
}

MKStatus ReadDoubles(KelStreamDefinition& stream, std::initializer_list<double*> values) {
  MKStatus status = MKStatusSuccess;
  for (double* value : values)
    if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadDouble(stream, *value);
  return status;
}

bool IsCoefficient(double value) {
  return value >= -1.0 && value <= 1.0;
}

}  // namespace

MKUserDBAnthroVariable::MKUserDBAnthroVariable(unsigned int referenceNumber, double mean0,
                                               double stdDev0, double mean1, double stdDev1,
                                               const KelString& acronym)
    : MKDBAnthroVariable(referenceNumber, 0, mean0, stdDev0, mean1, stdDev1, acronym) {}

MKUserDBAnthroVariable::MKUserDBAnthroVariable(const MKUserDBAnthroVariable& source)
    : MKDBAnthroVariable(source), managementType(source.managementType), version(source.version) {
  for (int i = 1; i <= source.tempCorrelations.Size(); ++i)
    if (const auto* correlation = static_cast<const MKCorrelation*>(source.tempCorrelations[i]))
      tempCorrelations.Append(new MKCorrelation(*correlation));
}

MKUserDBAnthroVariable& MKUserDBAnthroVariable::operator=(const MKUserDBAnthroVariable& source) {
  if (this == &source) return *this;
  MKDBAnthroVariable::operator=(source);
  managementType = source.managementType;
  version = source.version;
  ClearTempCorrelations();
  for (int i = 1; i <= source.tempCorrelations.Size(); ++i)
    if (const auto* correlation = static_cast<const MKCorrelation*>(source.tempCorrelations[i]))
      tempCorrelations.Append(new MKCorrelation(*correlation));
  return *this;
}

MKUserDBAnthroVariable::~MKUserDBAnthroVariable() {
  ClearTempCorrelations();
}

KelUnicodeString MKUserDBAnthroVariable::GetName() const {
  const MKDBAnthro* builtIn = MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
  const MKDBAnthroVariable* variable = builtIn->GetVariableFromRefNumber(GetReferenceNumber());
  return variable ? variable->GetName() : KelUnicodeString();
}

void MKUserDBAnthroVariable::SetUserValues(double mean1, double mean0, double stdDev1,
                                           double stdDev0) {
  InitValues(mean0, stdDev0, mean1, stdDev1);
  managementType = 1;
}

unsigned int MKUserDBAnthroVariable::GetSize() const {
  return 4 * 8 + 4 + 4 +
         2 * static_cast<unsigned int>(KelUnicodeString(GetAcronym()).GetLengthInChar()) + 4 +
         static_cast<unsigned int>(GetNbCorrelationVector()) * (4 + 2 * 8);
}

MKStatus MKUserDBAnthroVariable::Write(KelStreamDefinition& stream) const {
  MKStatus status = MKManikinPart::WriteBeginTag(MKPartUserDBAnthroVariableID, stream);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteDouble(stream, version);
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, static_cast<int>(GetSize()));
  if (status == MKStatusSuccess)
    status = WriteDoubles(stream, {GetMean(1), GetMean(0), GetStdDev(1), GetStdDev(0)});
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, static_cast<int>(GetReferenceNumber()));
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::WriteString(stream, GetAcronym());
  if (status == MKStatusSuccess)
    status = MKPersistenceRoutines::WriteInt(stream, GetNbCorrelationVector());
  for (int i = 0; i < GetNbCorrelationVector() && status == MKStatusSuccess; ++i) {
    const MKCorrelation* correlation = GetCorrAtIndex(i);
    status =
        MKPersistenceRoutines::WriteInt(stream, static_cast<int>(correlation->GetVariableNumber()));
    if (status == MKStatusSuccess)
      status = WriteDoubles(stream, {correlation->GetValue(1), correlation->GetValue(0)});
  }
  if (status == MKStatusSuccess)
    status = MKManikinPart::WriteEndTag(MKPartUserDBAnthroVariableID, stream);
  return status;
}

MKStatus MKUserDBAnthroVariable::Read(KelStreamDefinition& stream) {
  const int bound = static_cast<int>(MKDatabaseManager::GetMaxAnthroDBVariables());
  double mean1 = 0, mean0 = 0, stdDev1 = 0, stdDev0 = 0;
  int referenceNumber = 0, count = 0;
  KelString readAcronym;
  MKStatus status = ReadDoubles(stream, {&mean1, &mean0, &stdDev1, &stdDev0});
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, referenceNumber);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadString(stream, readAcronym);
  if (status == MKStatusSuccess) status = MKPersistenceRoutines::ReadInt(stream, count);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  if (!(mean1 > 0.0 && mean0 > 0.0 && stdDev1 >= 0.0 && stdDev0 >= 0.0) ||
      !std::isfinite(mean1 + mean0 + stdDev1 + stdDev0) || referenceNumber < 0 ||
      referenceNumber >= bound || count < 0 || count > bound)
    return MKStatusStreamContent;

  MKUserDBAnthroVariable read(static_cast<unsigned int>(referenceNumber), mean0, stdDev0, mean1,
                              stdDev1, readAcronym);
  for (int i = 0; i < count; ++i) {
    int partner = 0;
    double value1 = 0, value0 = 0;
    status = MKPersistenceRoutines::ReadInt(stream, partner);
    if (status == MKStatusSuccess) status = ReadDoubles(stream, {&value1, &value0});
    if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
    if (partner <= referenceNumber || partner > bound || !IsCoefficient(value0) ||
        !IsCoefficient(value1))
      return MKStatusStreamContent;
    read.tempCorrelations.Append(
        new MKCorrelation(static_cast<unsigned int>(partner), value0, value1));
  }
  status = MKManikinPart::ReadEndTag(stream, MKPartUserDBAnthroVariableID);
  if (status != MKStatusSuccess) return MKPersistenceRoutines::StoppedEarly(status);
  read.managementType = 1;
  *this = read;
  return MKStatusSuccess;
}

void MKUserDBAnthroVariable::UseTempCorrelations() {
  SetCorrelations(tempCorrelations);
  ClearTempCorrelations();
}

void MKUserDBAnthroVariable::ClearTempCorrelations() {
  for (int i = 1; i <= tempCorrelations.Size(); ++i)
    delete static_cast<MKCorrelation*>(tempCorrelations[i]);
  tempCorrelations.RemoveAll();
}
