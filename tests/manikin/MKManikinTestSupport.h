#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "math/MKUnitConversions.h"

namespace mktest {

struct ManikinDeleter {
  void operator()(MKManikin* m) const {
    if (m) m->Destroy();
  }
};
using Manikin = std::unique_ptr<MKManikin, ManikinDeleter>;

// A manikin of the built-in population; the test fails when creation does.
inline Manikin Make(int sex, double percentile) {
  MKManikin* manikin = nullptr;
  EXPECT_EQ(MKManikin::Create(manikin, sex, percentile, nullptr, 1, 1), MKStatusSuccess);
  return Manikin(manikin);
}

// Top of the head over the lowest point of either foot, in world y.
inline double BuiltStature(const MKManikin& m) {
  MKBody* body = m.GetBody();
  double floor = HUGE_VAL;
  for (MKShortName name : {RSFoHe, RSFoSo, RSFoTa, RSFoTo, LSFoHe, LSFoSo, LSFoTa, LSFoTo}) {
    MKSegment* s = body->GetSegment(name);
    floor = std::fmin(floor, std::fmin(s->GetOriginPosition()(1), s->GetEndPosition()(1)));
  }
  return body->GetSegment(SHeTo)->GetEndPosition()(1) - floor;
}

inline double Degrees(double d) {
  return MKUnitConversions::DegreesToRadians(d);
}

// DOF `number` of a manikin's segment.
inline MKDOF* DOF(const Manikin& m, MKShortName segment, int number) {
  return m->GetBody()->GetSegment(segment)->GetDOF(number);
}

}  // namespace mktest
