#pragma once

#include <gtest/gtest.h>

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

inline double Degrees(double d) {
  return MKUnitConversions::DegreesToRadians(d);
}

// DOF `number` of a manikin's segment.
inline MKDOF* DOF(const Manikin& m, MKShortName segment, int number) {
  return m->GetBody()->GetSegment(segment)->GetDOF(number);
}

}  // namespace mktest
