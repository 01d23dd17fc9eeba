#pragma once

#include "anthro/MKDBAnthroVariable.h"
#include "host/KelRawColl.h"
#include "host/KelStreamDefinition.h"
#include "parts/MKStatus.h"

// A variable of a user anthropometric database: either set by the user
// (management type 1), or completed by prediction from the built-in
// population (type 0). Only the user's variables are written to streams.
//
// Record: begin tag "0022B", double version, int length, double mean of sex
// 1, mean of sex 0, standard deviation of sex 1, of sex 0, int reference
// number, the acronym, int number of correlations and for each int partner
// number, double coefficient of sex 1, of sex 0; end tag "0022E".
class MKUserDBAnthroVariable : public MKDBAnthroVariable {
 public:
  static constexpr double sVersion = 2.0;

  MKUserDBAnthroVariable() = default;
  MKUserDBAnthroVariable(unsigned int referenceNumber, double mean0, double stdDev0, double mean1,
                         double stdDev1, const KelString& acronym);
  // Deep-copies the correlations, the temporary ones included.
  MKUserDBAnthroVariable(const MKUserDBAnthroVariable& source);
  MKUserDBAnthroVariable& operator=(const MKUserDBAnthroVariable& source);

  // The display name of the built-in variable of the same reference number;
  // empty when there is none.
  KelUnicodeString GetName() const override;
  ~MKUserDBAnthroVariable() override;

  // Note the order: (mean of sex 1, mean of sex 0, standard deviation of sex
  // 1, of sex 0). Makes the variable the user's (management type 1).
  void SetUserValues(double mean1, double mean0, double stdDev1, double stdDev0);
  int GetManagementType() const { return managementType; }
  double GetVersion() const { return version; }

  // The record's body length: from after its length field to its end tag.
  unsigned int GetSize() const;
  MKStatus Write(KelStreamDefinition& stream) const;
  // Entered after the begin tag, version and length; reads the fields and
  // the end tag. 100 for a record cut short, a wrong end tag, or values no
  // user could have set: a mean not above 0, a negative or non-finite
  // standard deviation, a reference number not below the bound of
  // MKDatabaseManager::GetMaxAnthroDBVariables(), a partner not above the
  // variable's own number or beyond that bound, a coefficient outside
  // [-1, 1]. The correlations go to the temporary list. The variable is
  // unchanged unless the status is 0.
  MKStatus Read(KelStreamDefinition& stream);
  // Replaces the correlations by the temporary ones, which are then emptied.
  void UseTempCorrelations();

 private:
  void ClearTempCorrelations();

  int managementType = 0;
  double version = sVersion;
  // Owned MKCorrelation objects, read from a record.
  KelRawCollPV tempCorrelations;
};
