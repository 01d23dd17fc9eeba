#pragma once

#include <string>
#include <vector>

#include "parts/MKStatus.h"

class MKAnthro;

// One recorded person of an anthropometric survey: an identifier, the sex
// (0 female, 1 male) and the measured values (cm, kg for the mass) of the
// variables the survey measures exactly as the library defines them, each by
// its reference number.
class MKSubject {
 public:
  struct Measurement {
    unsigned int referenceNumber;
    double value;
  };

  MKSubject(std::string identifier, int sex, std::vector<Measurement> measurements);

  const std::string& GetIdentifier() const { return identifier; }
  int GetSex() const { return sex; }
  const std::vector<Measurement>& GetMeasurements() const { return measurements; }
  // The measured value of that variable; NaN when the subject has none.
  double GetMeasuredValue(unsigned int referenceNumber) const;

  // Makes `anthro` this person's anthropometry: interpolation becomes
  // unbounded so that no measured value is moved, every measured variable is
  // fixed at its value and every other one is predicted conditional on all
  // of them (with a manikin, its body is built again). 6 when the sexes
  // differ and 9 when a measured variable is not in the anthropometry's
  // database (then `anthro` is unchanged); 5 when a prediction would be
  // negative (then the free variables are left at their population means);
  // otherwise the prediction's status.
  MKStatus ApplyTo(MKAnthro& anthro) const;
  // Whether every measured value lies within the accommodation bounds of
  // `anthro`'s population: its limit bound (at most 4) standard deviations
  // around the mean of the subject's sex. A subject outside is still made as
  // measured; a study reports it.
  bool IsWithinBounds(const MKAnthro& anthro) const;

 private:
  std::string identifier;
  int sex;
  std::vector<Measurement> measurements;
};
