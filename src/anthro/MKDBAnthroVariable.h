#pragma once

#include "anthro/MKAnthroSpecs.h"
#include "anthro/MKCorrelation.h"
#include "host/KelRawColl.h"
#include "host/KelString.h"
#include "host/KelUnicodeString.h"
#include "math/MK3DVertex.h"

// One body dimension of an anthropometric population: per sex a mean and a
// standard deviation (cm, or kg for the mass), the correlations with the
// variables of higher reference number, a kind and body part, and where its
// anchor points are taken on a built body.
//
// The variables of the built-in population are authoritative for every
// database that uses the same acronyms: the name, kind, body part and anchor
// data of any variable are those of the built-in variable with its acronym
// (see Authority()), so a user variable needs only its acronym and statistics.
class MKDBAnthroVariable {
 public:
  // Flag bits: one body part, one kind, and whether it has no graphic.
  static constexpr unsigned int sWholeBody = 0x0001;
  static constexpr unsigned int sHeadAndNeck = 0x0002;
  static constexpr unsigned int sArm = 0x0004;
  static constexpr unsigned int sHand = 0x0008;
  static constexpr unsigned int sTrunk = 0x0010;
  static constexpr unsigned int sLeg = 0x0020;
  static constexpr unsigned int sFoot = 0x0040;
  static constexpr unsigned int sCircumference = 0x0200;
  static constexpr unsigned int sHeight = 0x0400;
  static constexpr unsigned int sLength = 0x0800;
  static constexpr unsigned int sBreadth = 0x1000;
  static constexpr unsigned int sDepth = 0x2000;
  static constexpr unsigned int sMass = 0x4000;
  static constexpr unsigned int sNoGraphic = 0x8000;

  // Reference number 0, no flags, empty acronym, zero statistics.
  MKDBAnthroVariable() = default;
  MKDBAnthroVariable(unsigned int referenceNumber, unsigned int flags, const KelString& acronym);
  MKDBAnthroVariable(unsigned int referenceNumber, unsigned int flags, double mean0, double stdDev0,
                     double mean1, double stdDev1, const KelString& acronym);
  // Deep-copies the correlations.
  MKDBAnthroVariable(const MKDBAnthroVariable& source);
  MKDBAnthroVariable& operator=(const MKDBAnthroVariable& source);

  // The virtual operations, in their fixed slot order.
  // "Anthro" + the acronym without its angle brackets is the catalogue key of
  // the display name; "@" + the key when the catalogue has no such entry.
  virtual KelUnicodeString GetName() const;
  virtual ~MKDBAnthroVariable();

  // Mean and standard deviation of sex 0, then of sex 1.
  void InitValues(double mean0, double stdDev0, double mean1, double stdDev1);
  // NaN for a sex other than 0 and 1.
  double GetMean(int sex) const;
  double GetStdDev(int sex) const;
  // Mean -/+ 4 standard deviations.
  double GetMinValue(int sex) const { return GetMean(sex) - 4.0 * GetStdDev(sex); }
  double GetMaxValue(int sex) const { return GetMean(sex) + 4.0 * GetStdDev(sex); }

  unsigned int GetReferenceNumber() const { return referenceNumber; }
  KelString GetAcronym() const { return acronym; }
  void SetAcronym(const KelString& newAcronym) { acronym = newAcronym; }
  // The own flag bits, without delegation.
  unsigned int GetFlags() const { return flags; }

  // Stores the pair for a partner of higher number, replacing an earlier
  // pair for it; a partner not above this variable's number is ignored.
  void AddCorrelatedVariable(unsigned int partner, double value0, double value1);
  // 1.0 for the own number; the stored coefficient for a higher partner;
  // otherwise the answer of the built-in variable of the same acronym, or 0.0
  // (so ask the variable of the lower number for the higher one).
  double GetCorrelationValue(unsigned int partner, int sex) const;
  int GetNbCorrelationVector() const { return correlations.Size(); }
  // 0-based; null out of range.
  MKCorrelation* GetCorrAtIndex(int index) const;
  void RemoveAllCorrelationVectors();
  // Replaces the list by copies of the given MKCorrelation objects (nulls skipped).
  void SetCorrelations(const KelRawCollPV& source);

  void SetAnchorPointSpec(MKSideSpec side, MKPostureSpec posture);
  void SetAnchorPointTranslation(double x, double y, double z);

  // Answered by the authoritative variable (see the class comment).
  MK3DVertex GetAnchorPointTranslation() const;
  MKPostureSpec GetAnchorPointPosture() const;
  MKSideSpec GetAnchorPointSide() const;
  bool HasAGraphicalRep() const;
  // 1 whole body, 2 head and neck, 3 trunk, 4 arm, 5 hand, 6 leg, 7 foot, 0 none.
  int GetBodyPart() const;
  int IsACircumference() const;
  int IsAHeight() const;
  int IsALength() const;
  int IsABreadth() const;
  int IsADepth() const;
  int IsAMass() const;

  // By reference number only.
  bool operator==(const MKDBAnthroVariable& other) const {
    return referenceNumber == other.referenceNumber;
  }
  bool operator<(const MKDBAnthroVariable& other) const {
    return referenceNumber < other.referenceNumber;
  }

  // The acronym of the built-in variable of that number; "" when none.
  static void GetAcronymFromRefNumber(unsigned int referenceNumber, KelString& acronym);
  // The number of the built-in variable with that acronym (brackets
  // included); -1 when none.
  static int GetRefNumberFromAcronym(const char* acronym);

 private:
  // The built-in variable with this acronym when it is another object,
  // otherwise this variable.
  const MKDBAnthroVariable& Authority() const;
  int FlagBit(unsigned int bit) const { return (Authority().flags & bit) != 0 ? 1 : 0; }
  void CopyCorrelationsFrom(const KelRawCollPV& source);

  unsigned int referenceNumber = 0;
  double mean0 = 0.0;
  double mean1 = 0.0;
  double stdDev0 = 0.0;
  double stdDev1 = 0.0;
  KelString acronym;
  unsigned int flags = 0;
  MKPostureSpec anchorPointPosture = MKPostureNone;
  MKSideSpec anchorPointSide = MKSideNone;
  MK3DVertex anchorPointTranslation;
  // Owned MKCorrelation objects.
  KelRawCollPV correlations;
};
