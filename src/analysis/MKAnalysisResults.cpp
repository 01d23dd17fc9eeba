#include "analysis/MKAnalysisResults.h"

#include <cstdint>
#include <cstring>

#include "analysis/MKAnalysis.h"

namespace {

// The double whose bytes are all ones: a NaN.
double AllOnes() {
  const std::uint64_t bits = ~std::uint64_t{0};
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

MKAnalysisResults::MKAnalysisResults(MKStatus initial) : status(initial) {
  const double none = AllOnes();
  for (double* field : {&actionLimit,
                        &maximumPermissibleLimit,
                        &rwlOrigin,
                        &rwlDestination,
                        &liOrigin,
                        &liDestination,
                        &hOrigin,
                        &hDestination,
                        &vOrigin,
                        &vDestination,
                        &d,
                        &aOrigin,
                        &aDestination,
                        &lc,
                        &hmOrigin,
                        &hmDestination,
                        &vmOrigin,
                        &vmDestination,
                        &dm,
                        &amOrigin,
                        &amDestination,
                        &fm,
                        &cmOrigin,
                        &cmDestination,
                        &liftLowerWeight,
                        &pushInitialForce,
                        &pushSustainedForce,
                        &pullInitialForce,
                        &pullSustainedForce,
                        &carryWeight})
    *field = none;
  ClearRULAScores();
}

void MKAnalysisResults::ClearRULAScores() {
  for (int* field : {&upperArmScore, &lowerArmScore, &wristScore, &wristTwistScore, &postureAScore,
                     &muscleUseScore, &forceLoadScore, &wristAndArmScore, &neckScore, &trunkScore,
                     &legScore, &postureBScore, &neckTrunkLegScore, &finalScore})
    *field = -1;
}

KelUnicodeString MKAnalysisResults::InterpretRULAScore(unsigned char shorter) const {
  if (finalScore < 1) return KelUnicodeString();
  return MKAnalysis::InterpretRULAScore(static_cast<unsigned int>(finalScore), shorter);
}
