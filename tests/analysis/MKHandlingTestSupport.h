#pragma once

// Helpers of the manual-handling tests: postures as parts, hands placed by
// bisection on a DOF, and the body points the analyses measure, read here
// straight from the segments.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "MKRULATestSupport.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "manikin/MKManikinTestSupport.h"
#include "math/MKFrame.h"
#include "parts/MKManikinPart.h"

namespace mkhandlingtest {

struct PartDeleter {
  void operator()(MKManikinPart* p) const {
    if (p) p->Destroy();
  }
};
using Part = std::unique_ptr<MKManikinPart, PartDeleter>;

// The manikin's current posture as a part.
inline Part Posture(MKManikin& manikin) {
  return Part(manikin.ExtractPart(MKPartPostureID, 0, nullptr));
}

inline MK3DVertex End(MKBody& body, MKShortName name) {
  return body.GetSegment(name)->GetEndPoint(MKGlobalSpace);
}

inline MK3DVertex Mid(MKBody& body, MKShortName a, MKShortName b) {
  const MK3DVertex p = End(body, a), q = End(body, b);
  return MK3DVertex((p.x + q.x) / 2, (p.y + q.y) / 2, (p.z + q.z) / 2);
}

// H, V (cm) and A (degrees) of the posed body, world frame (y up).
struct Measures {
  double h, v, a;
};

inline Measures Measure(MKBody& body) {
  const MK3DVertex hands = Mid(body, RSHaCPr, LSHaCPr);
  const MK3DVertex ankles = Mid(body, RSFoAn, LSFoAn);
  const MK3DVertex soles = Mid(body, RSFoSo, LSFoSo);
  const MK3DVertex rh = End(body, RSHaCPr), lh = End(body, LSHaCPr);
  const MK3DVertex rp = End(body, RSBoIlp), lp = End(body, LSBoIlp);
  const double ax = lh.x - rh.x, ay = lh.y - rh.y, az = lh.z - rh.z;
  const double bx = lp.x - rp.x, by = lp.y - rp.y, bz = lp.z - rp.z;
  const double c = (ax * bx + ay * by + az * bz) /
                   std::sqrt((ax * ax + ay * ay + az * az) * (bx * bx + by * by + bz * bz));
  return {std::hypot(hands.x - ankles.x, hands.z - ankles.z), hands.y - soles.y,
          mkrulatest::Deg(std::acos(std::fmin(1.0, c)))};
}

// Bisection on an angle (degrees) within [lo, hi] applied by `set`, so that
// `measure`, which must grow with the angle, reaches `target`.
inline void Bisect(double lo, double hi, double target, const std::function<void(double)>& set,
                   const std::function<double()>& measure) {
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2;
    set(mid);
    (measure() < target ? lo : hi) = mid;
  }
}

// The same angle on both arms' DOF `axis`.
inline std::function<void(double)> BothArms(MKBody& body, int axis) {
  return [&body, axis](double degrees) {
    mkrulatest::SetDegrees(body, RSArAr, axis, degrees);
    mkrulatest::SetDegrees(body, LSArAr, axis, degrees);
  };
}

// One 50th-percentile manikin of `Sex` for a whole suite, standing at each test.
template <int Sex>
class OnManikin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { manikin = mktest::Make(Sex, 50).release(); }
  static void TearDownTestSuite() { manikin->Destroy(); }
  void SetUp() override { manikin->GetBody()->SetPosture(MKPostureStanding); }
  static inline MKManikin* manikin = nullptr;
  MKFrame floor;
};

}  // namespace mkhandlingtest
