#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ManikinOptions.h"

class MKDBAnthro;
class MKManikin;

namespace mkcli {

// Destroys a manikin the way the library expects.
struct ManikinDeleter {
  void operator()(MKManikin* manikin) const;
};
using ManikinPtr = std::unique_ptr<MKManikin, ManikinDeleter>;

// The population of that name (case and separators ignored; empty for the
// built-in one), or else read from the population file of that path (see
// UserPopulation.h); throws a usage Failure naming the known ones.
MKDBAnthro& FindPopulation(const std::string& name);

// Creates the manikin: the sex and percentile first (the percentile fixes
// stature and weight unless it is 50), then the accommodation and the fixed
// dimensions, predicting the others. Unknown dimensions are usage Failures;
// a refusal of the library is a Failure with its status and message.
// `warnings` receives one line per request the library had to change
// (a value outside the accommodated range is brought to its edge).
ManikinPtr BuildManikin(const ManikinSpec& spec, std::vector<std::string>& warnings);

// "5th", "50th", "12.5th": a percentile as an ordinal.
std::string Ordinal(double percentile);
std::string SexName(int sex);
// The library's message for a status code, with the code.
std::string StatusText(int code);

}  // namespace mkcli
