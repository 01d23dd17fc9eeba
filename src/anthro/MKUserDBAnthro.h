#pragma once

#include "anthro/MKDBAnthro.h"
#include "anthro/MKUserDBAnthroVariable.h"
#include "host/KelStreamDefinition.h"
#include "host/KelUnicodeString.h"
#include "parts/MKStatus.h"

// A population the user describes: means and standard deviations per sex of
// the variables the user knows, and optionally correlations among them.
// Update completes every other variable of the built-in population by
// predicting it from the user's means (the built-in correlations), with the
// built-in coefficient of variation, so that the database can drive a
// manikin. Every variable it holds is an MKUserDBAnthroVariable.
//
// Record: begin tag "0021B", double 1.0, int GetSize(), the name, the memo's
// record, the UUID, double revision, the record of every variable the user
// set, end tag "0021E".
class MKUserDBAnthro : public MKDBAnthro {
 public:
  // A new empty database, owned by the caller until the manager registers it.
  static MKUserDBAnthro* Create();
  static MKUserDBAnthro* Create(const KelUnicodeString& name);

  MKUserDBAnthro();
  // Deep-copies the user variables; the copy keeps the UUID.
  MKUserDBAnthro(const MKUserDBAnthro& source);
  MKUserDBAnthro& operator=(const MKUserDBAnthro& source);
  ~MKUserDBAnthro() override;
  // The bytes of the record between its length field and its end tag.
  unsigned int GetSize() const override;

  // Sets a variable by acronym (angle brackets included), values in the
  // order of MKUserDBAnthroVariable::SetUserValues. 5 unless both means are
  // above 0 and both standard deviations not below 0; 1000 for an acronym
  // the built-in population does not know. Nothing changes unless 0.
  MKStatus SetVariable(const char* acronym, double mean1, double mean0, double stdDev1,
                       double stdDev0);
  // The correlation of the variables `lower` and `higher` (reference
  // numbers), coefficients of sex 0 and sex 1. 5 for a coefficient outside
  // [-1, 1], numbers in the wrong order or beyond the reference bound;
  // 1000 when the database has no variable `lower`.
  MKStatus AddUserCorrelation(unsigned int lower, unsigned int higher, double value0,
                              double value1);
  // Completes the database to the built-in variable set: the user's
  // variables are fixed at their means in a female and a male anthropometry
  // of the built-in population, the others are predicted, and their standard
  // deviations scaled from the built-in ones by the predicted mean.
  void Update();

  // 2 for a database without UUID (nothing written).
  MKStatus Write(KelStreamDefinition& stream);
  // Replaces the database by the record at the stream's position, then
  // completes it. 100 for a malformed record, 102 for a newer one; the
  // database is unchanged unless the status is 0. Variables whose acronym
  // the built-in population does not know, or knows under another
  // reference number, and repeated ones, are dropped.
  MKStatus Read(KelStreamDefinition& stream);

  // The variable of that index or number as the user database holds it.
  MKUserDBAnthroVariable* GetUserVariableAtIndex(unsigned int index) const;
  MKUserDBAnthroVariable* GetUserVariableFromRefNumber(unsigned int referenceNumber) const;

 private:
  void CopyUserVariablesFrom(const MKUserDBAnthro& source);
};
