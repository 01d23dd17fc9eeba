#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "manikin/MKManikin.h"

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

}  // namespace mktest
