#pragma once

#include "anthro/MKAnthroSpecs.h"
#include "anthro/MKDBAnthroVariable.h"
#include "anthro/MKDatabase.h"
#include "host/KelRawColl.h"
#include "host/KelString.h"

// An anthropometric population database: its variables (body dimensions) in
// creation order, each with per-sex statistics and correlations. The database
// owns its variables. The built-in population "US NATICK" is made by
// CreateUSNatickDB from constant tables.
class MKDBAnthro : public MKDatabase {
 public:
  // Empty name, no variables.
  MKDBAnthro();
  // Deep-copies the variables.
  MKDBAnthro(const MKDBAnthro& source);
  MKDBAnthro& operator=(const MKDBAnthro& source);

  // The virtual operations, in their fixed slot order.
  ~MKDBAnthro() override;
  // No record of its own: 0. User databases count their stream records.
  unsigned int GetSize() const override;

  unsigned int GetNumberOfVariables() const;
  // 0-based; null at or beyond the count.
  MKDBAnthroVariable* GetVariableAtIndex(unsigned int index) const;
  // The first variable of that number, or null.
  MKDBAnthroVariable* GetVariableFromRefNumber(unsigned int referenceNumber) const;
  // The first variable whose acronym is exactly `acronym` (angle brackets
  // included), or null; null for an empty string.
  MKDBAnthroVariable* GetVariable(const KelString& acronym) const;
  // Takes ownership; null is ignored.
  void AddVariable(MKDBAnthroVariable* variable);
  // Anchor data of the variable of that number; nothing for an unknown number.
  void SetAnchorPointSpec(unsigned int referenceNumber, MKSideSpec side, MKPostureSpec posture);
  void SetAnchorPointTranslation(unsigned int referenceNumber, double x, double y, double z);
  // Destroys every variable.
  void Clear();

  // Sets the revision to 0 and appends the 103 variables of the built-in
  // population with zero statistics, in ascending reference number.
  void CreateVariables();
  // Makes this the built-in population "US NATICK": identity, variables when
  // there are none yet, statistics, correlations and anchor data.
  void CreateUSNatickDB();

 private:
  // One pair of the built-in correlation table: the two reference numbers,
  // lower first, and the coefficients of sex 0 and sex 1 in thousandths.
  struct BuiltInCorrelation {
    unsigned short first;
    unsigned short second;
    short value0;
    short value1;
  };
  // The pairs with survey data, sorted, written at build time from
  // MKDBAnthroCorrelations.csv.
  static const BuiltInCorrelation sBuiltInCorrelations[];
  static const unsigned int sNumberOfBuiltInCorrelations;

  void CopyVariablesFrom(const MKDBAnthro& source);

  // Owned MKDBAnthroVariable objects.
  KelRawCollPV variables;
};
