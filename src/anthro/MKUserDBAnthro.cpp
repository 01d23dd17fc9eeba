#include "anthro/MKUserDBAnthro.h"

#include "anthro/MKAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "anthro/detail/MKUserDBRecord.h"

namespace {

const MKDBAnthro& BuiltIn() {
  return *MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
}

}  // namespace

MKUserDBAnthro* MKUserDBAnthro::Create() {
  return new MKUserDBAnthro();
}

MKUserDBAnthro* MKUserDBAnthro::Create(const KelUnicodeString& name) {
  auto* database = new MKUserDBAnthro();
  database->SetName(name);
  return database;
}

MKUserDBAnthro::MKUserDBAnthro() {
  SetMKClassName(MKDBClassUserAnthro);
}

MKUserDBAnthro::MKUserDBAnthro(const MKUserDBAnthro& source) : MKDBAnthro() {
  MKDatabase::operator=(source);
  SetMKClassName(MKDBClassUserAnthro);
  CopyUserVariablesFrom(source);
}

MKUserDBAnthro& MKUserDBAnthro::operator=(const MKUserDBAnthro& source) {
  if (this == &source) return *this;
  MKDatabase::operator=(source);
  Clear();
  CopyUserVariablesFrom(source);
  return *this;
}

MKUserDBAnthro::~MKUserDBAnthro() = default;

void MKUserDBAnthro::CopyUserVariablesFrom(const MKUserDBAnthro& source) {
  for (unsigned int i = 0; i < source.GetNumberOfVariables(); ++i)
    if (const MKUserDBAnthroVariable* variable = source.GetUserVariableAtIndex(i))
      AddVariable(new MKUserDBAnthroVariable(*variable));
}

MKUserDBAnthroVariable* MKUserDBAnthro::GetUserVariableAtIndex(unsigned int index) const {
  // A host may add a plain variable through the base class; it is not the user's.
  return dynamic_cast<MKUserDBAnthroVariable*>(GetVariableAtIndex(index));
}

MKUserDBAnthroVariable* MKUserDBAnthro::GetUserVariableFromRefNumber(
    unsigned int referenceNumber) const {
  return dynamic_cast<MKUserDBAnthroVariable*>(GetVariableFromRefNumber(referenceNumber));
}

unsigned int MKUserDBAnthro::GetSize() const {
  unsigned int size = MKUserDBRecord::HeaderSize(*this);
  for (unsigned int i = 0; i < GetNumberOfVariables(); ++i) {
    const MKUserDBAnthroVariable* variable = GetUserVariableAtIndex(i);
    if (variable && variable->GetManagementType() == 1)
      size += MKUserDBRecord::Framed(variable->GetSize());
  }
  return size;
}

MKStatus MKUserDBAnthro::SetVariable(const char* acronym, double mean1, double mean0,
                                     double stdDev1, double stdDev0) {
  if (!(mean1 > 0.0 && mean0 > 0.0 && stdDev1 >= 0.0 && stdDev0 >= 0.0))
    return MKStatusValueRefused;
  const KelString key(acronym ? acronym : "");
  if (MKUserDBAnthroVariable* held = dynamic_cast<MKUserDBAnthroVariable*>(GetVariable(key))) {
    if (GetRevisionFloor() != 0.0) SetModified(1);
    held->SetUserValues(mean1, mean0, stdDev1, stdDev0);
    return MKStatusSuccess;
  }
  if (GetVariable(key)) return MKStatusUserDBAnthro;  // a plain variable a host added
  const MKDBAnthroVariable* known = BuiltIn().GetVariable(key);
  if (!known) return MKStatusUserDBAnthro;
  auto* variable = new MKUserDBAnthroVariable(known->GetReferenceNumber(), 0, 0, 0, 0, key);
  variable->SetUserValues(mean1, mean0, stdDev1, stdDev0);
  AddVariable(variable);
  return MKStatusSuccess;
}

MKStatus MKUserDBAnthro::AddUserCorrelation(unsigned int lower, unsigned int higher, double value0,
                                            double value1) {
  if (!(value0 >= -1.0 && value0 <= 1.0 && value1 >= -1.0 && value1 <= 1.0) || higher < lower)
    return MKStatusValueRefused;
  if (lower == higher && value0 == 1.0 && value1 == 1.0) return MKStatusSuccess;
  const unsigned int bound = MKDatabaseManager::GetMaxAnthroDBVariables();
  if (lower > bound || higher > bound) return MKStatusValueRefused;
  MKDBAnthroVariable* variable = GetVariableFromRefNumber(lower);
  if (!variable) return MKStatusUserDBAnthro;
  variable->AddCorrelatedVariable(higher, value0, value1);
  return MKStatusSuccess;
}

void MKUserDBAnthro::Update() {
  const MKDBAnthro& builtIn = BuiltIn();
  MKAnthro female(nullptr, &builtIn, 0);
  MKAnthro male(nullptr, &builtIn, 1);
  for (unsigned int i = 0; i < female.GetNumberOfVariables(); ++i) {
    MKAnthroVariable* inFemale = female.GetVariableAtIndex(i);
    MKAnthroVariable* inMale = male.GetVariableAtIndex(i);
    const auto number = static_cast<unsigned int>(inFemale->GetReferenceNumber());
    const MKUserDBAnthroVariable* own = GetUserVariableFromRefNumber(number);
    if (own && own->GetManagementType() == 1) {
      inFemale->SetUserValue(own->GetMean(0));
      inMale->SetUserValue(own->GetMean(1));
    } else {
      inFemale->SetValue(inFemale->GetMean());
      inMale->SetValue(inMale->GetMean());
    }
  }
  female.Update();
  male.Update();

  for (unsigned int i = 0; i < female.GetNumberOfVariables(); ++i) {
    const MKAnthroVariable* inFemale = female.GetVariableAtIndex(i);
    const MKAnthroVariable* inMale = male.GetVariableAtIndex(i);
    const auto number = static_cast<unsigned int>(inFemale->GetReferenceNumber());
    const MKDBAnthroVariable* known = builtIn.GetVariableFromRefNumber(number);
    MKUserDBAnthroVariable* own = GetUserVariableFromRefNumber(number);
    if (!known || (own && own->GetManagementType() == 1)) continue;
    if (!own && GetVariableFromRefNumber(number)) continue;  // a plain variable a host added
    const double p0 = inFemale->GetValue();
    const double p1 = inMale->GetValue();
    // The built-in coefficient of variation carried over to the predicted mean.
    const double s0 = p0 * known->GetStdDev(0) / known->GetMean(0);
    const double s1 = p1 * known->GetStdDev(1) / known->GetMean(1);
    if (own)
      own->InitValues(p0, s0, p1, s1);
    else
      AddVariable(new MKUserDBAnthroVariable(number, p0, s0, p1, s1, known->GetAcronym()));
  }
}

MKStatus MKUserDBAnthro::Write(KelStreamDefinition& stream) {
  KelString uuid;
  GetUUID(uuid);
  if (uuid.Length() == 0) return MKStatusGeneral;
  IncrementRevisionNumber();
  SetModified(0);
  MKStatus status = MKUserDBRecord::WriteHeader(stream, *this, MKPartUserDBAnthroID, GetSize());
  for (unsigned int i = 0; i < GetNumberOfVariables() && status == MKStatusSuccess; ++i) {
    const MKUserDBAnthroVariable* variable = GetUserVariableAtIndex(i);
    if (variable && variable->GetManagementType() == 1) status = variable->Write(stream);
  }
  if (status == MKStatusSuccess) status = MKManikinPart::WriteEndTag(MKPartUserDBAnthroID, stream);
  return status;
}

MKStatus MKUserDBAnthro::Read(KelStreamDefinition& stream) {
  MKUserDBRecord::Header header;
  MKStatus status = MKUserDBRecord::ReadHeader(stream, MKPartUserDBAnthroID, header);
  if (status != MKStatusSuccess) return status;
  MKUserDBAnthro read;
  const MKDBAnthro& builtIn = BuiltIn();
  status = MKUserDBRecord::ReadVariables(
      stream, MKPartUserDBAnthroID, MKPartUserDBAnthroVariableID, MKUserDBAnthroVariable::sVersion,
      header, [&read, &builtIn](KelStreamDefinition& from) {
        MKUserDBAnthroVariable variable;
        const MKStatus one = variable.Read(from);
        if (one != MKStatusSuccess) return one;
        const MKDBAnthroVariable* known = builtIn.GetVariable(variable.GetAcronym());
        if (known && known->GetReferenceNumber() == variable.GetReferenceNumber() &&
            !read.GetVariableFromRefNumber(variable.GetReferenceNumber()))
          read.AddVariable(new MKUserDBAnthroVariable(variable));
        return one;
      });
  if (status != MKStatusSuccess) return status;

  Clear();
  SetLoaded(header.name, header.memo, header.uuid, header.revision);
  for (unsigned int i = 0; i < read.GetNumberOfVariables(); ++i) {
    auto* variable = new MKUserDBAnthroVariable(*read.GetUserVariableAtIndex(i));
    variable->UseTempCorrelations();
    AddVariable(variable);
  }
  Update();
  return MKStatusSuccess;
}
