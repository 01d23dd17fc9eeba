#include "anthro/MKCorrelation.h"

#include "math/MKIEEE.h"

double MKCorrelation::GetValue(int sex) const {
  if (sex == 0) return value0;
  if (sex == 1) return value1;
  return MKIEEE::NaN();
}
