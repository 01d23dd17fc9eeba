#include "anthro/MKUserDBJointLimits.h"

#include "anthro/MKDatabaseManager.h"
#include "anthro/detail/MKUserDBRecord.h"

namespace {

const MKDBJointLimits& BuiltIn() {
  return *MKDatabaseManager::GetInstance()->GetDefaultJointLimitsDB();
}

}  // namespace

MKUserDBJointLimits* MKUserDBJointLimits::Create() {
  return new MKUserDBJointLimits();
}

MKUserDBJointLimits* MKUserDBJointLimits::Create(const KelUnicodeString& name) {
  auto* database = new MKUserDBJointLimits();
  database->SetName(name);
  return database;
}

MKUserDBJointLimits::MKUserDBJointLimits() {
  SetMKClassName(MKDBClassUserJointLimits);
}

MKUserDBJointLimits::MKUserDBJointLimits(const MKUserDBJointLimits& source) : MKDBJointLimits() {
  MKDatabase::operator=(source);
  SetMKClassName(MKDBClassUserJointLimits);
  CopyUserVariablesFrom(source);
}

MKUserDBJointLimits& MKUserDBJointLimits::operator=(const MKUserDBJointLimits& source) {
  if (this == &source) return *this;
  MKDatabase::operator=(source);
  Clear();
  CopyUserVariablesFrom(source);
  return *this;
}

MKUserDBJointLimits::~MKUserDBJointLimits() = default;

void MKUserDBJointLimits::CopyUserVariablesFrom(const MKUserDBJointLimits& source) {
  for (unsigned int i = 0; i < source.GetNumberOfVariables(); ++i)
    if (const MKUserDBJointLimitsVariable* variable = source.GetUserVariableAtIndex(i))
      AddVariable(new MKUserDBJointLimitsVariable(*variable));
}

MKUserDBJointLimitsVariable* MKUserDBJointLimits::GetUserVariableAtIndex(unsigned int index) const {
  // A host may add a plain variable through the base class; it is not the user's.
  return dynamic_cast<MKUserDBJointLimitsVariable*>(GetVariableAtIndex(index));
}

unsigned int MKUserDBJointLimits::GetSize() const {
  unsigned int size = MKUserDBRecord::HeaderSize(*this);
  for (unsigned int i = 0; i < GetNumberOfVariables(); ++i)
    if (const MKUserDBJointLimitsVariable* variable = GetUserVariableAtIndex(i))
      size += MKUserDBRecord::Framed(variable->GetSize());
  return size;
}

MKStatus MKUserDBJointLimits::SetVariable(MKShortName segment, int dofNumber, double maxMean,
                                          double minMean, double maxStdDev, double minStdDev) {
  if (!MKUserDBJointLimitsVariable::AreValid(maxMean, minMean, maxStdDev, minStdDev))
    return MKStatusValueRefused;
  if (MKDBJointLimitsVariable* held = GetVariable(segment, dofNumber)) {
    auto* own = dynamic_cast<MKUserDBJointLimitsVariable*>(held);
    if (!own) return MKStatusUserDBJointLimits;  // a plain variable a host added
    if (GetRevisionFloor() != 0.0) SetModified(1);
    own->SetUserValues(maxMean, minMean, maxStdDev, minStdDev);
    return MKStatusSuccess;
  }
  if (dofNumber < 0 || !BuiltIn().GetVariable(segment, dofNumber)) return MKStatusUserDBJointLimits;
  auto* variable =
      new MKUserDBJointLimitsVariable(segment, static_cast<unsigned int>(dofNumber), 0, 0, 0, 0);
  variable->SetUserValues(maxMean, minMean, maxStdDev, minStdDev);
  AddVariable(variable);
  return MKStatusSuccess;
}

MKStatus MKUserDBJointLimits::Write(KelStreamDefinition& stream) {
  KelString uuid;
  GetUUID(uuid);
  if (uuid.Length() == 0) return MKStatusGeneral;
  IncrementRevisionNumber();
  SetModified(0);
  MKStatus status =
      MKUserDBRecord::WriteHeader(stream, *this, MKPartUserDBJointLimitsID, GetSize());
  for (unsigned int i = 0; i < GetNumberOfVariables() && status == MKStatusSuccess; ++i)
    if (const MKUserDBJointLimitsVariable* variable = GetUserVariableAtIndex(i))
      status = variable->Write(stream);
  if (status == MKStatusSuccess)
    status = MKManikinPart::WriteEndTag(MKPartUserDBJointLimitsID, stream);
  return status;
}

MKStatus MKUserDBJointLimits::Read(KelStreamDefinition& stream) {
  MKUserDBRecord::Header header;
  MKStatus status = MKUserDBRecord::ReadHeader(stream, MKPartUserDBJointLimitsID, header);
  if (status != MKStatusSuccess) return status;
  MKUserDBJointLimits read;
  const MKDBJointLimits& builtIn = BuiltIn();
  status = MKUserDBRecord::ReadVariables(
      stream, MKPartUserDBJointLimitsID, MKPartUserDBJointLimitsVariableID,
      MKUserDBJointLimitsVariable::sVersion, header, [&read, &builtIn](KelStreamDefinition& from) {
        MKUserDBJointLimitsVariable variable;
        const MKStatus one = variable.Read(from);
        if (one != MKStatusSuccess) return one;
        const MKShortName segment = variable.GetShortNameOfSegment();
        const int dof = static_cast<int>(variable.GetDOFNumber());
        if (builtIn.GetVariable(segment, dof) && !read.GetVariable(segment, dof))
          read.AddVariable(new MKUserDBJointLimitsVariable(variable));
        return one;
      });
  if (status != MKStatusSuccess) return status;

  Clear();
  CopyUserVariablesFrom(read);
  SetLoaded(header.name, header.memo, header.uuid, header.revision);
  return MKStatusSuccess;
}
