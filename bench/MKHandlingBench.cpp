// Protocol: each manual-handling analysis of MKAnalysis on a 50th-percentile
// man of the built-in population, repeated by Google Benchmark's own rule on
// one core, the posture pastes included: a lift from hands hanging
// (standing) to arms raised forward 60 degrees, 10 kg twice a minute for an
// hour, by NIOSH 1981, NIOSH 1991 and the Liberty Mutual 2021 equations
// (guide lines 0, 1, 3) and the 1991 tables (guide line 2, which stops at a
// missing cell of the shipped data file); a push/pull and a carry through
// their entries by the 2021 equations. Target: at most 50 microseconds per
// analysis. Google Benchmark prints the CPU and its caches with the results.
#include <benchmark/benchmark.h>

#include "mkmanikin.h"

namespace {

struct Task {
  MKManikin* manikin = nullptr;
  MKManikinPart* origin = nullptr;
  MKManikinPart* destination = nullptr;
  Task() {
    MKManikin::Create(manikin, 1, 50.0, nullptr, 1, 1);
    if (!manikin) return;
    origin = manikin->ExtractPart(MKPartPostureID, 0, nullptr);
    for (MKShortName arm : {RSArAr, LSArAr})
      manikin->GetBody()->GetSegment(arm)->GetDOF(0)->SetMathematicalValue(
          MKUnitConversions::DegreesToRadians(60));
    destination = manikin->ExtractPart(MKPartPostureID, 0, nullptr);
  }
  ~Task() {
    if (origin) origin->Destroy();
    if (destination) destination->Destroy();
    if (manikin) manikin->Destroy();
  }
};

void BM_LiftLower(benchmark::State& state) {
  Task task;
  if (!task.destination) return state.SkipWithError("creation failed");
  const MKFrame floor;
  MKAnalysisResults results;
  const auto guide = static_cast<MKAnalysis::MKGuideLine>(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(MKAnalysis::PerformLiftLowerAnalysis(
        task.manikin, task.origin, task.destination, guide, MKAnalysis::MKCouplingGood, 2.0 / 60, 1,
        10, 75, floor, floor, results));
}
BENCHMARK(BM_LiftLower)->ArgName("guideLine")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_PushPull(benchmark::State& state) {
  Task task;
  if (!task.destination) return state.SkipWithError("creation failed");
  const MKFrame floor;
  MKAnalysisResults results;
  for (auto _ : state)
    benchmark::DoNotOptimize(MKAnalysis::PerformPushPullAnalysis(
        task.manikin, task.destination, MKAnalysis::MKLibertyMutual2021, 1.0 / 60, 760, 760, 75,
        floor, results));
}
BENCHMARK(BM_PushPull)->Unit(benchmark::kMicrosecond);

void BM_Carry(benchmark::State& state) {
  Task task;
  if (!task.destination) return state.SkipWithError("creation failed");
  const MKFrame floor;
  MKAnalysisResults results;
  for (auto _ : state)
    benchmark::DoNotOptimize(MKAnalysis::PerformCarryAnalysis(task.manikin, task.origin,
                                                              MKAnalysis::MKLibertyMutual2021,
                                                              1.0 / 60, 500, 75, floor, results));
}
BENCHMARK(BM_Carry)->Unit(benchmark::kMicrosecond);

}  // namespace
