#include "anthro/MKDBAnthroVariable.h"

#include "anthro/MKDBAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "math/MKIEEE.h"
#include "parts/MKMessage.h"

namespace {

const MKDBAnthro* DefaultDatabase() {
  return MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
}

}  // namespace

MKDBAnthroVariable::MKDBAnthroVariable(unsigned int referenceNumber, unsigned int flags,
                                       const KelString& acronym)
    : referenceNumber(referenceNumber), acronym(acronym), flags(flags) {}

MKDBAnthroVariable::MKDBAnthroVariable(unsigned int referenceNumber, unsigned int flags,
                                       double mean0, double stdDev0, double mean1, double stdDev1,
                                       const KelString& acronym)
    : referenceNumber(referenceNumber),
      mean0(mean0),
      mean1(mean1),
      stdDev0(stdDev0),
      stdDev1(stdDev1),
      acronym(acronym),
      flags(flags) {}

MKDBAnthroVariable::MKDBAnthroVariable(const MKDBAnthroVariable& source)
    : referenceNumber(source.referenceNumber),
      mean0(source.mean0),
      mean1(source.mean1),
      stdDev0(source.stdDev0),
      stdDev1(source.stdDev1),
      acronym(source.acronym),
      flags(source.flags),
      anchorPointPosture(source.anchorPointPosture),
      anchorPointSide(source.anchorPointSide),
      anchorPointTranslation(source.anchorPointTranslation) {
  CopyCorrelationsFrom(source.correlations);
}

MKDBAnthroVariable& MKDBAnthroVariable::operator=(const MKDBAnthroVariable& source) {
  if (this == &source) return *this;
  referenceNumber = source.referenceNumber;
  mean0 = source.mean0;
  mean1 = source.mean1;
  stdDev0 = source.stdDev0;
  stdDev1 = source.stdDev1;
  acronym = source.acronym;
  flags = source.flags;
  anchorPointPosture = source.anchorPointPosture;
  anchorPointSide = source.anchorPointSide;
  anchorPointTranslation = source.anchorPointTranslation;
  RemoveAllCorrelationVectors();
  CopyCorrelationsFrom(source.correlations);
  return *this;
}

MKDBAnthroVariable::~MKDBAnthroVariable() {
  RemoveAllCorrelationVectors();
}

KelUnicodeString MKDBAnthroVariable::GetName() const {
  const KelString authoritative = Authority().acronym;
  KelString key("Anthro");
  for (const char* c = authoritative.CastToCharPtr(); *c; ++c) {
    if (*c == '<' || *c == '>') continue;
    const char one[2] = {*c, '\0'};
    key += one;
  }
  return MKGetMessage(KelUnicodeString(key));
}

void MKDBAnthroVariable::InitValues(double mean0, double stdDev0, double mean1, double stdDev1) {
  this->mean0 = mean0;
  this->stdDev0 = stdDev0;
  this->mean1 = mean1;
  this->stdDev1 = stdDev1;
}

double MKDBAnthroVariable::GetMean(int sex) const {
  if (sex == 0) return mean0;
  if (sex == 1) return mean1;
  return MKIEEE::NaN();
}

double MKDBAnthroVariable::GetStdDev(int sex) const {
  if (sex == 0) return stdDev0;
  if (sex == 1) return stdDev1;
  return MKIEEE::NaN();
}

void MKDBAnthroVariable::AddCorrelatedVariable(unsigned int partner, double value0, double value1) {
  if (partner <= referenceNumber) return;
  for (int i = 1; i <= correlations.Size(); ++i) {
    auto* held = static_cast<MKCorrelation*>(correlations[i]);
    if (held && held->GetVariableNumber() == partner) {
      delete held;
      correlations.RemovePosition(i);
      break;
    }
  }
  correlations.Append(new MKCorrelation(partner, value0, value1));
}

double MKDBAnthroVariable::GetCorrelationValue(unsigned int partner, int sex) const {
  if (partner == referenceNumber) return 1.0;
  if (partner > referenceNumber) {
    for (int i = 1; i <= correlations.Size(); ++i) {
      const auto* held = static_cast<const MKCorrelation*>(correlations[i]);
      if (held && held->GetVariableNumber() == partner) return held->GetValue(sex);
    }
  }
  const MKDBAnthroVariable& authority = Authority();
  if (&authority != this) return authority.GetCorrelationValue(partner, sex);
  return 0.0;
}

MKCorrelation* MKDBAnthroVariable::GetCorrAtIndex(int index) const {
  if (index < 0 || index >= correlations.Size()) return nullptr;
  return static_cast<MKCorrelation*>(correlations[index + 1]);
}

void MKDBAnthroVariable::RemoveAllCorrelationVectors() {
  for (int i = 1; i <= correlations.Size(); ++i)
    delete static_cast<MKCorrelation*>(correlations[i]);
  correlations.RemoveAll();
}

void MKDBAnthroVariable::SetCorrelations(const KelRawCollPV& source) {
  if (&source == &correlations) return;
  RemoveAllCorrelationVectors();
  CopyCorrelationsFrom(source);
}

void MKDBAnthroVariable::CopyCorrelationsFrom(const KelRawCollPV& source) {
  for (int i = 1; i <= source.Size(); ++i)
    if (const auto* correlation = static_cast<const MKCorrelation*>(source[i]))
      correlations.Append(new MKCorrelation(*correlation));
}

void MKDBAnthroVariable::SetAnchorPointSpec(MKSideSpec side, MKPostureSpec posture) {
  anchorPointSide = side;
  anchorPointPosture = posture;
}

void MKDBAnthroVariable::SetAnchorPointTranslation(double x, double y, double z) {
  anchorPointTranslation = MK3DVertex(x, y, z);
}

MK3DVertex MKDBAnthroVariable::GetAnchorPointTranslation() const {
  return Authority().anchorPointTranslation;
}

MKPostureSpec MKDBAnthroVariable::GetAnchorPointPosture() const {
  return Authority().anchorPointPosture;
}

MKSideSpec MKDBAnthroVariable::GetAnchorPointSide() const {
  return Authority().anchorPointSide;
}

bool MKDBAnthroVariable::HasAGraphicalRep() const {
  return FlagBit(sNoGraphic) == 0;
}

int MKDBAnthroVariable::GetBodyPart() const {
  // The bits in the order of their precedence, with the code each gives.
  static constexpr struct {
    unsigned int bit;
    int code;
  } kParts[] = {{sWholeBody, 1}, {sHeadAndNeck, 2}, {sTrunk, 3}, {sArm, 4},
                {sHand, 5},      {sLeg, 6},         {sFoot, 7}};
  const unsigned int own = Authority().flags;
  for (const auto& part : kParts)
    if ((own & part.bit) != 0) return part.code;
  return 0;
}

int MKDBAnthroVariable::IsACircumference() const {
  return FlagBit(sCircumference);
}

int MKDBAnthroVariable::IsAHeight() const {
  return FlagBit(sHeight);
}

int MKDBAnthroVariable::IsALength() const {
  return FlagBit(sLength);
}

int MKDBAnthroVariable::IsABreadth() const {
  return FlagBit(sBreadth);
}

int MKDBAnthroVariable::IsADepth() const {
  return FlagBit(sDepth);
}

int MKDBAnthroVariable::IsAMass() const {
  return FlagBit(sMass);
}

void MKDBAnthroVariable::GetAcronymFromRefNumber(unsigned int referenceNumber, KelString& acronym) {
  acronym = "";
  const MKDBAnthro* db = DefaultDatabase();
  if (!db) return;
  if (const MKDBAnthroVariable* variable = db->GetVariableFromRefNumber(referenceNumber))
    acronym = variable->acronym;
}

int MKDBAnthroVariable::GetRefNumberFromAcronym(const char* acronym) {
  const MKDBAnthro* db = DefaultDatabase();
  if (!db || !acronym) return -1;
  const MKDBAnthroVariable* variable = db->GetVariable(KelString(acronym));
  return variable ? static_cast<int>(variable->referenceNumber) : -1;
}

const MKDBAnthroVariable& MKDBAnthroVariable::Authority() const {
  const MKDBAnthro* db = DefaultDatabase();
  if (!db || acronym.Length() == 0) return *this;
  // The first built-in variable with this acronym. A built-in variable met
  // before any such one is its own authority: the flag tests of the built-in
  // population, which every anchor pass makes, then stop at themselves.
  for (unsigned int i = 0; i < db->GetNumberOfVariables(); ++i) {
    const MKDBAnthroVariable* candidate = db->GetVariableAtIndex(i);
    if (candidate == this) return *this;
    if (candidate && candidate->acronym == acronym) return *candidate;
  }
  return *this;
}
