#pragma once

#include <string>
#include <vector>

#include "StudyRunner.h"

namespace mkstudy {

// A share of people with its 95 % Wilson score interval.
struct Share {
  std::size_t people = 0;
  std::size_t accommodated = 0;
  double share = 0.0, low = 0.0, high = 0.0;  // fractions
};

// The Wilson score interval of `accommodated` out of `people` at z = 1.96;
// all zero for no people.
Share WilsonShare(std::size_t accommodated, std::size_t people);

// One line of the summary: a check (or "all checks") for women, men or everyone.
struct ShareRow {
  std::string check;
  std::string group;  // "women", "men" or "all"
  Share share;
};

// Per check then all checks, each for women, men (those present) and all.
// People whose status is not 0 are left out.
std::vector<ShareRow> Summarise(const StudyTask& task, const StudyResult& result);

}  // namespace mkstudy
