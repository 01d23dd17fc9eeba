// The body-mass distribution of the manikin.
#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "manikin/MKManikin.h"
#include "math/MKIEEE.h"

const double __BodyMassDistribTable[9][6] = {
    {0.1235, -0.5392, 1.1162, -0.0482, 0.1517, 0.5334},  // hand
    {0.0062, 0.001, 1.569, -0.0903, 0.395, 1.1815},      // forearm
    {0.0327, -0.1077, 2.8771, 0.0299, -0.1122, 2.8424},  // upper arm
    {0, 0, 7.4028, 0, 0, 6.0949},                        // head
    {0, 0, 2.6066, 0, 0, 2.1386},                        // neck
    {0, 0, 47.7534, 0, 0, 49.5076},                      // trunk
    {0.0847, -0.3961, 10.294, -0.0556, 0.1718, 9.8625},  // thigh
    {0.0443, -0.1652, 4.6742, 0.1573, -0.6341, 5.1477},  // leg
    {-0.0047, 0.118, 1.1126, 0.0152, -0.0827, 1.5536},   // foot
};

double MKManikin::GetMassPercentage(const MKKEBodyPart& bodyPart, int sex, double percentile) {
  if (bodyPart < 0 || bodyPart > 8 || (sex != 0 && sex != 1) || !(percentile >= 0.0) ||
      percentile > 100.0)
    return MKIEEE::NaN();
  // The 5th, 50th and 95th percentiles are x = 1, 2 and 3.
  const double x = percentile / 45.0 + 8.0 / 9.0;
  const double* c = &__BodyMassDistribTable[bodyPart][sex == 1 ? 0 : 3];
  return (c[0] * x * x + c[1] * x + c[2]) * 0.01;
}

double MKManikin::MassDistrib(const MKKEBodyPart& bodyPart, int sex) const {
  const MKAnthroVariable* stature = anthro ? anthro->GetVariable("<STATURE>") : nullptr;
  return stature ? GetMassPercentage(bodyPart, sex, stature->GetValueAsPercentile()) : 0.0;
}
