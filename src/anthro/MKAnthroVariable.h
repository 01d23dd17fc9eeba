#pragma once

#include "anthro/MKAnthroSpecs.h"
#include "host/KelStreamDefinition.h"
#include "host/KelString.h"
#include "host/KelUnicodeString.h"
#include "math/MK3DVertex.h"
#include "parts/MKManikinPart.h"
#include "parts/MKShortName.h"
#include "parts/MKStatus.h"

class MKAnthro;
class MKDBAnthro;
class MKDBAnthroVariable;

// One body dimension of a manikin's anthropometry: the value in use (cm, or
// kg for the mass), whether the user fixed it (management type 1) or the
// anthropometry predicts it (type 0), and the conditional mean and standard
// deviation of the last prediction. Its statistics are those of its database
// variable for the anthropometry's sex.
//
// Record (after the part header): int number of memos and, when not 0, the
// memo's record; an int carried unchanged; int management type; double
// value; int reference number; end tag.
class MKAnthroVariable : public MKManikinPart {
 public:
  // A variable of `anthro` for `dbVariable`: predicted, value 0, calculated
  // mean and standard deviation those of the database for the sex.
  MKAnthroVariable(MKAnthro* anthro, const MKDBAnthroVariable* dbVariable);
  // A variable that reads a record: a value stored as a percentile is
  // converted with the statistics of `database`.
  explicit MKAnthroVariable(const MKDBAnthro* database);
  MKAnthroVariable(const MKAnthroVariable& source);
  MKAnthroVariable& operator=(const MKAnthroVariable&) = delete;

  MKStatus Write(KelStreamDefinition& stream) override;
  // Entered after the begin tag, version and length. 100 for a malformed
  // record or a management type other than 0 and 1; the variable is
  // unchanged unless the status is 0.
  MKStatus Read(KelStreamDefinition& stream) override;
  // Takes a variable's memo, time stamp, management type and value (not its
  // prediction), or a memo. 600 without a source, 601 for another kind.
  MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag) override;
  ~MKAnthroVariable() override;
  unsigned int GetSize() const override;
  MKManikinPart* Clone() const override { return new MKAnthroVariable(*this); }

  MKAnthro* GetAnthro() const { return anthro; }
  const MKDBAnthroVariable* GetDBVariable() const { return dbVariable; }
  // -1 without a database variable.
  int GetReferenceNumber() const { return referenceNumber; }

  // Statistics of the database variable for the anthropometry's sex; 0.0
  // without either of them. Ask the variable of the lower reference number
  // for the higher one (see MKDBAnthroVariable::GetCorrelationValue).
  double GetMean() const;
  double GetStdDev() const;
  double GetCorrelationValue(unsigned int partner) const;

  // Forwarded to the database variable ("", 0 or false without one;
  // posture 1 and side 0 without one).
  KelString GetAcronym() const;
  KelUnicodeString GetName() const;
  int IsACircumference() const;
  int IsAHeight() const;
  int IsALength() const;
  int IsABreadth() const;
  int IsADepth() const;
  int IsAMass() const;
  bool HasAGraphicalRep() const;
  int GetBodyPart() const;
  MKPostureSpec GetAnchorPointPosture() const;
  MKSideSpec GetAnchorPointSide() const;

  double GetValue() const { return value; }
  // 0.0 without a database variable.
  double GetValueAsPercentile() const;
  // Bounded interpolation (method 1): the tighter of the accommodation bound
  // around the prediction and 4 population standard deviations. Unbounded:
  // 0.0 and mean + 10 standard deviations.
  double GetMinValue() const;
  double GetMaxValue() const;
  // `v` clamped into [GetMinValue, GetMaxValue] (method 1), else |v|.
  double GetTrustedValue(double v) const;

  // Fix the variable. 5 when the value had to be changed; 7 for a
  // percentile outside [0, 100].
  MKStatus SetUserValue(double v);
  MKStatus SetUserValueFromPercentile(double percentile);
  // Free the variable with a (predicted or default) value. SetValue keeps
  // bounded values between the percentiles 0 and 100 and never stores a
  // negative value (5 when it changed the value); SetValueFromPercentile
  // answers 7 for a percentile outside [0, 100] or without a database variable.
  MKStatus SetValue(double v);
  MKStatus SetValueFromPercentile(double percentile);

  int GetManagementType() const { return managementType; }
  // 0 also resets the calculated mean to the mean; 10 for another type.
  MKStatus SetManagementType(int type);

  double GetCalculatedMean() const { return calculatedMean; }
  // Only for a predicted variable and c >= 0; 3 otherwise.
  MKStatus SetCalculatedMean(double c);
  // 0 when c >= 0, else 5.
  MKStatus CheckCalculatedMean(double c) const;
  double GetCalculatedStdDev() const { return calculatedStdDev; }
  // Only for a predicted variable and 0 <= c <= standard deviation; 3 otherwise.
  MKStatus SetCalculatedStdDev(double c);
  // 0 when 0 <= c <= standard deviation, else 5.
  MKStatus CheckCalculatedStdDev(double c) const;

  // Points on the built body between which the dimension is drawn (NaN
  // until computed).
  MK3DVertex GetFirstAnchorPoint() const { return firstAnchorPoint; }
  MK3DVertex GetSecondAnchorPoint() const { return secondAnchorPoint; }
  void InitAnchorPoints(const MK3DVertex& first, const MK3DVertex& second);
  // The database variable's translation t, (0, 0, 0) without one.
  MK3DVertex GetFirstAnchorPointTranslation() const;
  // t moved along itself so that both translated points lie on one plane
  // normal to t; t itself when |t| < 0.001.
  MK3DVertex GetSecondAnchorPointTranslation() const;
  // The body ellipse of a circumference; -1 when none.
  MKShortName GetCircEllipse() const { return circEllipse; }
  void SetCircEllipse(MKShortName name) { circEllipse = name; }

  // By reference number.
  bool operator==(const MKAnthroVariable& other) const {
    return referenceNumber == other.referenceNumber;
  }
  bool operator<(const MKAnthroVariable& other) const {
    return referenceNumber < other.referenceNumber;
  }

 private:
  friend class MKAnthro;

  // Statistics for the conversions: the anthropometry's sex, or sex 0
  // without an anthropometry (NaN without a database variable).
  double StatisticalMean() const;
  double StatisticalStdDev() const;
  int Sex() const;
  // Read with an explicit value type and sex; `stored` receives the number
  // as stored (a percentile for value type 1).
  MKStatus ReadRecord(KelStreamDefinition& stream, int valueType, int sex, double& stored);
  // Takes the whole state of `source`, prediction and anchor points included.
  void CopyStateFrom(const MKAnthroVariable& source);
  MKManikinPart* Memo() const;

  int carried = 0;
  int managementType = 0;
  double value = 0.0;
  double calculatedMean = 0.0;
  double calculatedStdDev = 0.0;
  int referenceNumber = -1;
  MKAnthro* anthro = nullptr;
  const MKDBAnthroVariable* dbVariable = nullptr;
  // The database of a reading variable.
  const MKDBAnthro* readDatabase = nullptr;
  MK3DVertex firstAnchorPoint;
  MK3DVertex secondAnchorPoint;
  MKShortName circEllipse = static_cast<MKShortName>(-1);
};
