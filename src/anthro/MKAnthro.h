#pragma once

#include <vector>

#include "anthro/MKAnthroSpecs.h"
#include "anthro/MKAnthroVariable.h"
#include "host/KelRawColl.h"
#include "host/KelStreamDefinition.h"
#include "host/KelString.h"
#include "parts/MKManikinPart.h"
#include "parts/MKShortName.h"
#include "parts/MKStatus.h"

class MKDBAnthro;
class MKManikin;
class MKNxMMatrix;

// The anthropometry of a manikin: one MKAnthroVariable per variable of the
// population database in use, in the database's order. The user fixes some
// variables (management type 1); every other one is predicted as the
// conditional expectation of the population's multivariate normal
// distribution for the sex, given the fixed values, and keeps the
// conditional standard deviation.
//
// Codes: sex 0 female, 1 male; value type 0 (the user's inputs are kept as
// values across a change of sex or database) or 1 (as percentiles);
// interpolation method 0 unbounded or 1 bounded (values stay within the
// accommodation bound, in standard deviations, and 4 population standard
// deviations); construction type standing or sitting.
//
// Record (after the part header): the optional memo, the optional database
// reference (a part holding a memo whose text is the database UUID), int
// sex, int 0 (value type), int construction type, int interpolation method,
// double limit bound, int number of fixed variables and their records, end tag.
class MKAnthro : public MKManikinPart {
 public:
  // Where a variable's anchor points are taken on the built body: the first
  // and second element (-1 for none) with a position code each (an ellipse
  // position, or 8 for a segment's end), and how the second point is aligned
  // on the first (0 along x, 1 along y, 2 along z, 3 keeping z only, 4 and 5
  // not aligned).
  struct AnchorRow {
    unsigned int referenceNumber;
    MKShortName first;
    int firstPosition;
    MKShortName second;
    int secondPosition;
    int axis;
  };
  // The row of that variable of the built-in population; null for another number.
  static const AnchorRow* GetAnchorRow(unsigned int referenceNumber);

  // Uses `database`, or the built-in one when it is null. The variables are
  // created but not predicted yet: InitialUpdate or Update does that.
  MKAnthro(MKManikin* manikin, const MKDBAnthro* database, int sex);
  // A copy that belongs to no manikin.
  MKAnthro(const MKAnthro& source);
  MKAnthro& operator=(const MKAnthro&) = delete;

  MKStatus Write(KelStreamDefinition& stream) override;
  // Entered after the begin tag, version and length. 100 for malformed
  // content, 300 when the referenced database cannot be found; otherwise
  // the fields are applied, the fixed variables fixed and Update run.
  MKStatus Read(KelStreamDefinition& stream) override;
  // The variables, then the memo.
  MKManikinPart* ExtractPartAtIndex(unsigned int index) const override;
  // This anthropometry (kind 3), the index-th variable (4), the database
  // reference (12) or a memo (13); null otherwise.
  MKManikinPart* ExtractPart(MKPartID kind, unsigned int index,
                             KelRawCollint* shortNames) const override;
  unsigned int GetNumberOfChildrenParts() const override;
  // An anthropometry, a database reference or a memo; 600 without a source,
  // 601 for another kind, 300 for a reference to an unknown database.
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  ~MKAnthro() override;
  unsigned int GetSize() const override;
  MKManikinPart* Clone() const override { return new MKAnthro(*this); }

  unsigned int GetNumberOfVariables() const;
  // 0-based; null at or beyond the count.
  MKAnthroVariable* GetVariableAtIndex(unsigned int index) const;
  // The last variable with that number or acronym (angle brackets
  // included), or null.
  MKAnthroVariable* GetVariableFromRefNumber(unsigned int referenceNumber) const;
  MKAnthroVariable* GetVariable(const KelString& acronym) const;

  MKManikin* GetManikin() const { return manikin; }
  const MKDBAnthro* GetDatabase() const { return database; }
  // The reference to the database in use that records carry; null without one.
  const MKManikinPart* GetDatabaseReference() const { return databaseReference; }

  int GetSex() const { return sex; }
  // 6 for a sex other than 0 and 1; 1 when it is the current sex (nothing
  // to do). Fixed variables keep their values (or percentiles, by value
  // type) in the other sex; the status is the prediction's.
  MKStatus SetSex(int newSex);
  int GetValueType() const { return valueType; }
  // 5 for a type other than 0 and 1.
  MKStatus SetValueType(int type);
  int GetInterpolationMethod() const { return interpolationMethod; }
  // Ignores a method other than 0 and 1. Switching to bounded brings every
  // value outside its bounds to the nearest bound.
  MKStatus SetInterpolationMethod(int method);
  double GetLimitBound() const { return limitBound; }
  // Clamped into [0, 4]; the accommodation follows. Re-clamps the fixed values.
  MKStatus SetLimitBound(double bound);
  double GetPopulationAccommodation() const { return populationAccommodation; }
  // A percentage; 10 outside [0, 100]. The limit bound follows (95 gives
  // about 1.96, kept within [0, 4]). Re-clamps the fixed values.
  MKStatus SetPopulationAccommodation(double percentage);
  MKPostureSpec GetConstructionType() const { return constructionType; }
  // 10 for a type other than standing and sitting.
  MKStatus SetConstructionType(MKPostureSpec type);
  // 300 for no database, 3 for one whose size differs from the built-in
  // one, 5 for one with a mean not above 0 or a negative standard
  // deviation. Recreates the variables and fixes again those that were fixed.
  MKStatus UseAnthroDB(const MKDBAnthro* newDatabase);

  // Predicts every free variable from the fixed ones. 5 when a prediction is
  // negative (then nothing is applied) or a conditional standard deviation
  // is out of range (the previous one is kept).
  MKStatus Update();
  // Update for a new or read anthropometry: fixed values are first brought
  // within their bounds.
  MKStatus InitialUpdate();
  // The conditional standard deviations of the free variables.
  MKStatus UpdateCalculatedStdDev();
  // Frees every variable, then Update.
  MKStatus Reset();
  // Fixes every fixed variable again at its own value, within the current bounds.
  MKStatus CheckVariableRanges();
  // The covariance block of the variables of management type `rowType` (rows)
  // and `columnType` (columns), each in list order. `matrix` must have that size.
  void FillSigma(MKNxMMatrix& matrix, int rowType, int columnType) const;
  void RemoveAllVariables();

  // Measures every variable's anchor points on the manikin's body, each in
  // its anchor posture; the body's posture and limits are left as they were.
  // 3 (nothing measured) without a manikin or body.
  MKStatus UpdateAnchorPoints();
  // The anchor points of the variable with that number, from one anchor row
  // (see AnchorRow), measured in the body's current build. Sets the body to
  // the variable's anchor posture.
  void CalculateAnchorPoints(unsigned int referenceNumber, MKShortName first, int firstPosition,
                             MKShortName second, int secondPosition, int axis);

  // The UUID of the database that an anthropometry record refers to, read
  // from a stream positioned after the record's begin tag, version and
  // length. 300 when the record refers to none, 100 for malformed content.
  static MKStatus GetDatabaseUUID(KelStreamDefinition& stream, KelString& uuid);

  // Between these (they nest), predictions leave the refit owed; the last release does it once.
  void HoldRefits();
  void ReleaseRefits();

 private:
  // CalculateAnchorPoints without the posture: the body is already in it.
  void MeasureAnchorPoints(MKAnthroVariable& variable, const AnchorRow& row);
  struct FixedValue {
    unsigned int referenceNumber;
    double number;  // value or percentile, by value type
  };

  // The fixed variables' numbers, as values or percentiles by value type;
  // `release` also frees them.
  std::vector<FixedValue> RememberFixed(bool release);
  // Fixes again the remembered variables (see SetSex).
  void FixAgain(const std::vector<FixedValue>& remembered);
  MKStatus Predict(bool initial);
  // The rebuild after a prediction: with `rebuild`, the body resized and
  // reskinned, its anchor points measured and the gaze aimed again; with
  // `spine`, the spine DOFs re-initialised. The status is the build's.
  MKStatus Refit(bool rebuild, bool spine);
  // PasteFrom of an anthropometry, its refits held.
  MKStatus PasteSteps(const MKAnthro& source);
  void SetAccommodationFromBound();
  void SetDatabaseReference(MKManikinPart* reference);
  MKManikinPart* Memo() const;

  int sex;
  int interpolationMethod = 1;
  const MKDBAnthro* database = nullptr;
  int valueType = 0;
  // Owned MKAnthroVariable objects.
  KelRawCollPV variables;
  MKManikin* manikin;
  double limitBound = 4.0;
  double populationAccommodation = 0.0;
  MKPostureSpec constructionType = MKPostureStanding;
  int refitsHeld = 0;
  bool refitOwed = false;
  bool rebuildOwed = false;
  // Owned; names the database in use.
  MKManikinPart* databaseReference = nullptr;
};
