#include "analysis/detail/MKLibertyMutual2021.h"

#include <algorithm>
#include <cmath>

#include "math/MKIEEE.h"
#include "math/MKMathRoutines.h"

namespace {

// The published input ranges, [female, male].
struct Range {
  double lo[2], hi[2];
};
constexpr Range kLiftH = {{0.20, 0.25}, {0.68, 0.73}};
constexpr Range kPushV = {{0.58, 0.63}, {1.33, 1.44}};
constexpr Range kCarryV = {{0.71, 0.78}, {1.03, 1.10}};
// Arm reach of the 50th-percentile woman and man (the paper's Table 3),
// the top of a lift and the longest travel.
constexpr double kArmReach[2] = {1.96, 2.14};
constexpr double kMinTravel = 0.25;
constexpr double kMinDistance = 2.1;
constexpr double kMaxPushDistance = 61.0;
constexpr double kMaxCarryDistance = 10.0;
// From once a day (an 8-hour shift) up to these rates per minute.
constexpr double kMinRate = 1.0 / 480.0;
constexpr double kMaxLiftRate = 20.0, kMaxOtherRate = 10.0;
// Travel per minute beyond which a task is outside the data (m/min).
constexpr double kMaxLiftTravelRate = 11.0, kMaxPushTravelRate = 37.0, kMaxCarryTravelRate = 29.0;

// Sets x into [lo, hi]; true when it moved (a NaN goes to lo).
bool Into(double& x, double lo, double hi) {
  const double inside = std::isnan(x) ? lo : std::min(std::max(x, lo), hi);
  const bool moved = inside != x;
  x = inside;
  return moved;
}

double Value(const MKLibertyMutual2021::Factor& factor, double x) {
  const double t = factor.ln ? std::log(x) : x;
  return factor.c0 + factor.a1 * t + factor.a2 * t * t;
}

}  // namespace

bool MKLibertyMutual2021::Clamp(Task task, int sex, Inputs& in) {
  bool moved = Into(in.f, kMinRate, task <= sLower ? kMaxLiftRate : kMaxOtherRate);
  if (task <= sLower) {
    moved |= Into(in.h, kLiftH.lo[sex], kLiftH.hi[sex]);
    moved |= Into(in.dv, kMinTravel, kArmReach[sex]);
    moved |= Into(in.vrm, in.dv / 2.0, kArmReach[sex] - in.dv / 2.0);
    return moved || in.dv * in.f > kMaxLiftTravelRate;
  }
  const bool carry = task == sCarry;
  const Range& v = carry ? kCarryV : kPushV;
  moved |= Into(in.v, v.lo[sex], v.hi[sex]);
  moved |= Into(in.dh, kMinDistance, carry ? kMaxCarryDistance : kMaxPushDistance);
  return moved || in.dh * in.f > (carry ? kMaxCarryTravelRate : kMaxPushTravelRate);
}

double MKLibertyMutual2021::Compute(Task task, int sex, const Inputs& in, double* factors) {
  const Equation& e = sEquations[task * 2 + sex];
  const double lifting[4] = {in.h, in.vrm, in.dv, in.f};
  const double other[3] = {in.v, in.dh, in.f};
  const double* x = task <= sLower ? lifting : other;
  double mal = e.rl;
  for (int i = 0; i < e.count; ++i) {
    factors[i] = Value(e.factors[i], x[i]);
    mal *= factors[i];
  }
  return mal;
}

double MKLibertyMutual2021::AtPercentage(double mal50, double cv, double percentage) {
  if (!(percentage > 0.0 && percentage < 100.0)) return MKIEEE::NaN();
  return mal50 * (1.0 - cv * MKMathRoutines::GaussInv(0.0, 1.0, percentage / 100.0));
}

double MKLibertyMutual2021::PercentCapable(double mal50, double cv, double load) {
  const double z = (load - mal50) / (cv * mal50);
  return 100.0 * (1.0 - 0.5 * std::erfc(-z / std::sqrt(2.0)));
}
