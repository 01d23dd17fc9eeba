#pragma once

// The correlation coefficients, one per sex, between a variable of an
// anthropometric database and a partner variable named by its reference
// number. A pair is stored once, on the variable of the lower number.
class MKCorrelation {
 public:
  MKCorrelation() = default;
  MKCorrelation(unsigned int partner, double value0, double value1)
      : variableNumber(partner), value0(value0), value1(value1) {}
  MKCorrelation(const MKCorrelation&) = default;
  MKCorrelation& operator=(const MKCorrelation&) = default;

  unsigned int GetVariableNumber() const { return variableNumber; }
  // The coefficient of sex 0 or 1; NaN for another sex.
  double GetValue(int sex) const;

  bool operator==(const MKCorrelation& other) const {
    return variableNumber == other.variableNumber && value0 == other.value0 &&
           value1 == other.value1;
  }
  // By partner number only.
  bool operator<(const MKCorrelation& other) const { return variableNumber < other.variableNumber; }

 private:
  unsigned int variableNumber = 0;
  double value0 = 0.0;
  double value1 = 0.0;
};
