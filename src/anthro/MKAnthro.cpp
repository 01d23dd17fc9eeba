#include "anthro/MKAnthro.h"

#include <cmath>

#include "anthro/MKDBAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "anthro/MKUserDBAnthro.h"
#include "body/MKBody.h"
#include "manikin/MKManikin.h"
#include "math/MKMathRoutines.h"
#include "parts/MKMemo.h"
#include "vision/MKVision.h"

namespace {

// The reference part that records carry: a memo holding the database's UUID.
bool HasValidStatistics(const MKDBAnthroVariable& variable) {
  return variable.GetMean(0) > 0.0 && variable.GetMean(1) > 0.0 && variable.GetStdDev(0) >= 0.0 &&
         variable.GetStdDev(1) >= 0.0;
}

}  // namespace

MKAnthro::MKAnthro(MKManikin* manikin, const MKDBAnthro* database, int sex)
    : MKManikinPart(MKPartAnthropometryID, 2.01), sex(sex), manikin(manikin) {
  SetAccommodationFromBound();
  UseAnthroDB(database ? database : MKDatabaseManager::GetInstance()->GetDefaultAnthroDB());
}

MKAnthro::MKAnthro(const MKAnthro& source)
    : MKManikinPart(source),
      sex(source.sex),
      interpolationMethod(source.interpolationMethod),
      valueType(source.valueType),
      manikin(nullptr),
      limitBound(source.limitBound),
      populationAccommodation(source.populationAccommodation),
      constructionType(source.constructionType) {
  UseAnthroDB(source.database);
  if (source.databaseReference) SetDatabaseReference(source.databaseReference->Clone());
  for (int i = 1; i <= source.variables.Size(); ++i) {
    const auto* from = static_cast<const MKAnthroVariable*>(source.variables[i]);
    MKAnthroVariable* to = GetVariableAtIndex(static_cast<unsigned int>(i - 1));
    if (!from || !to || to->GetReferenceNumber() != from->GetReferenceNumber()) continue;
    to->PasteFrom(from, 1);
    to->CopyStateFrom(*from);
  }
}

MKAnthro::~MKAnthro() {
  RemoveAllVariables();
  SetDatabaseReference(nullptr);
}

unsigned int MKAnthro::GetNumberOfVariables() const {
  return static_cast<unsigned int>(variables.Size());
}

MKAnthroVariable* MKAnthro::GetVariableAtIndex(unsigned int index) const {
  if (index >= GetNumberOfVariables()) return nullptr;
  return static_cast<MKAnthroVariable*>(variables[static_cast<int>(index) + 1]);
}

MKAnthroVariable* MKAnthro::GetVariableFromRefNumber(unsigned int referenceNumber) const {
  MKAnthroVariable* found = nullptr;
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKAnthroVariable*>(variables[i]);
    if (variable && variable->GetReferenceNumber() == static_cast<int>(referenceNumber))
      found = variable;
  }
  return found;
}

MKAnthroVariable* MKAnthro::GetVariable(const KelString& acronym) const {
  if (acronym.Length() == 0) return nullptr;
  MKAnthroVariable* found = nullptr;
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKAnthroVariable*>(variables[i]);
    if (variable && variable->GetAcronym() == acronym) found = variable;
  }
  return found;
}

void MKAnthro::RemoveAllVariables() {
  for (int i = 1; i <= variables.Size(); ++i)
    if (auto* variable = static_cast<MKAnthroVariable*>(variables[i])) variable->Destroy();
  variables.RemoveAll();
}

void MKAnthro::SetDatabaseReference(MKManikinPart* reference) {
  if (databaseReference) databaseReference->Destroy();
  databaseReference = reference;
}

MKManikinPart* MKAnthro::Memo() const {
  MKManikinPart* memo = nullptr;
  FindPart(MKPartMemoID, memo, 1);
  return memo;
}

std::vector<MKAnthro::FixedValue> MKAnthro::RememberFixed(bool release) {
  std::vector<FixedValue> remembered;
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKAnthroVariable*>(variables[i]);
    if (!variable || variable->GetManagementType() != 1 || variable->GetReferenceNumber() < 0)
      continue;
    const double number = valueType == 1 ? variable->GetValueAsPercentile() : variable->GetValue();
    remembered.push_back({static_cast<unsigned int>(variable->GetReferenceNumber()), number});
    if (release) variable->SetManagementType(0);
  }
  return remembered;
}

void MKAnthro::FixAgain(const std::vector<FixedValue>& remembered) {
  for (const FixedValue& fixed : remembered) {
    MKAnthroVariable* variable = GetVariableFromRefNumber(fixed.referenceNumber);
    if (!variable) continue;
    const double current = valueType == 1 ? variable->GetValueAsPercentile() : variable->GetValue();
    if (current == fixed.number)
      variable->SetManagementType(1);
    else if (valueType == 1)
      variable->SetUserValueFromPercentile(fixed.number);
    else
      variable->SetUserValue(fixed.number);
  }
}

MKStatus MKAnthro::SetSex(int newSex) {
  if (newSex != 0 && newSex != 1) return MKStatus(6);
  if (newSex == sex) return MKStatus(1);
  const std::vector<FixedValue> remembered = RememberFixed(true);
  sex = newSex;
  Update();
  FixAgain(remembered);
  return Update();
}

MKStatus MKAnthro::SetValueType(int type) {
  if (type != 0 && type != 1) return MKStatusValueRefused;
  valueType = type;
  return MKStatusSuccess;
}

MKStatus MKAnthro::SetInterpolationMethod(int method) {
  if (method != 0 && method != 1) return MKStatusSuccess;
  interpolationMethod = method;
  if (method != 1) return MKStatusSuccess;
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKAnthroVariable*>(variables[i]);
    if (!variable) continue;
    const int type = variable->GetManagementType();
    const double low = variable->GetMinValue();
    const double high = variable->GetMaxValue();
    if (variable->GetValue() < low)
      variable->SetValue(low);
    else if (variable->GetValue() > high)
      variable->SetValue(high);
    else
      continue;
    variable->SetManagementType(type);
  }
  return MKStatusSuccess;
}

void MKAnthro::SetAccommodationFromBound() {
  populationAccommodation =
      (MKMathRoutines::GaussianPercentileFromValue(0.0, 1.0, limitBound) - 50.0) * 2.0;
}

MKStatus MKAnthro::SetLimitBound(double bound) {
  // Written so that NaN also ends at a limit.
  limitBound = bound > 0.0 ? (bound < 4.0 ? bound : 4.0) : 0.0;
  SetAccommodationFromBound();
  CheckVariableRanges();
  return MKStatusSuccess;
}

MKStatus MKAnthro::SetPopulationAccommodation(double percentage) {
  if (!(percentage >= 0.0 && percentage <= 100.0)) return MKStatus(10);
  populationAccommodation = percentage;
  // Beyond 4 standard deviations the bound would refuse its own records.
  const double bound =
      MKMathRoutines::GaussianValueFromPercentile(0.0, 1.0, 0.5 * percentage + 50.0);
  limitBound = bound > 0.0 ? (bound < 4.0 ? bound : 4.0) : 0.0;
  CheckVariableRanges();
  return MKStatusSuccess;
}

MKStatus MKAnthro::CheckVariableRanges() {
  MKStatus status = MKStatusSuccess;
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKAnthroVariable*>(variables[i]);
    if (variable && variable->GetManagementType() == 1 &&
        variable->SetUserValue(variable->GetValue()) != MKStatusSuccess)
      status = MKStatusValueRefused;
  }
  return status;
}

MKStatus MKAnthro::SetConstructionType(MKPostureSpec type) {
  if (type != MKPostureStanding && type != MKPostureSitting) return MKStatus(10);
  if (type == constructionType) return MKStatusSuccess;
  constructionType = type;
  // The body is resized and reskinned for the new construction.
  if (!manikin) return MKStatusSuccess;
  return Refit(true, false);
}

MKStatus MKAnthro::UseAnthroDB(const MKDBAnthro* newDatabase) {
  if (!newDatabase) return MKStatusAnthroDB;
  if (newDatabase == database) return MKStatusSuccess;
  const MKDBAnthro* builtIn = MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
  // A smaller user database is completed by prediction before it is used.
  // Completion only adds what the user left out, so it is no change of the
  // population the caller chose.
  if (newDatabase->GetNumberOfVariables() < builtIn->GetNumberOfVariables() &&
      newDatabase->GetMKClassName() == MKDatabase::MKDBClassUserAnthro)
    const_cast<MKUserDBAnthro*>(static_cast<const MKUserDBAnthro*>(newDatabase))->Update();
  if (newDatabase->GetNumberOfVariables() != builtIn->GetNumberOfVariables())
    return MKStatusFailure;
  for (unsigned int i = 0; i < newDatabase->GetNumberOfVariables(); ++i) {
    const MKDBAnthroVariable* variable = newDatabase->GetVariableAtIndex(i);
    if (!variable || !HasValidStatistics(*variable)) return MKStatusValueRefused;
  }

  const std::vector<FixedValue> remembered = RememberFixed(false);
  RemoveAllVariables();
  database = newDatabase;
  for (unsigned int i = 0; i < database->GetNumberOfVariables(); ++i)
    variables.Append(new MKAnthroVariable(this, database->GetVariableAtIndex(i)));
  SetDatabaseReference(MKManikinPart::Create(database));
  FixAgain(remembered);
  return MKStatusSuccess;
}

MKStatus MKAnthro::Reset() {
  for (int i = 1; i <= variables.Size(); ++i) {
    auto* variable = static_cast<MKAnthroVariable*>(variables[i]);
    if (!variable) continue;
    variable->SetManagementType(0);
    variable->calculatedMean = variable->GetMean();
    variable->calculatedStdDev = variable->GetStdDev();
  }
  return Update();
}
