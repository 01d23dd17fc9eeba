// Protocol: one RULA analysis (MKAnalysis::PerformRULAAnalysis) of a posed
// 50th-percentile man of the built-in population, repeated by Google
// Benchmark's own rule on one core. The posture is awkward (both arms raised
// 100 degrees, elbows bent 30, wrists bent 20, neck and head flexed, every
// vertebra flexed and bent sideways, the trunk twisted), so that every part
// is scored and every posture question is measured on the body (their
// default is automatic):
// - with the default attributes;
// - with the legs question asked, which adds the balance test (centre of
//   gravity and basis of support) to every analysis.
// Target: at most 5 microseconds per analysis. Google Benchmark prints the
// CPU and its caches with the results.
#include <benchmark/benchmark.h>

#include "mkmanikin.h"

namespace {

void SetDegrees(MKBody& body, MKShortName segment, int axis, double degrees) {
  if (MKSegment* s = body.GetSegment(segment))
    if (MKDOF* dof = s->GetDOF(axis))
      dof->SetMathematicalValue(MKUnitConversions::DegreesToRadians(degrees));
}

void Awkward(MKBody& body) {
  for (MKShortName arm : {RSArAr, LSArAr}) SetDegrees(body, arm, 0, 100);
  for (MKShortName forearm : {RSArFAr, LSArFAr}) SetDegrees(body, forearm, 0, 30);
  for (MKShortName hand : {RSHaCPr, LSHaCPr}) SetDegrees(body, hand, 0, 20);
  SetDegrees(body, SHeNe, 0, 12);
  SetDegrees(body, SHeCg, 0, 20);
  for (int n = SBoL5; n <= SBoT1; ++n) {
    SetDegrees(body, static_cast<MKShortName>(n), 0, 1.5);
    SetDegrees(body, static_cast<MKShortName>(n), 1, 1.0);
    SetDegrees(body, static_cast<MKShortName>(n), 2, 1.0);
  }
}

void RunRULA(benchmark::State& state, bool askLegs) {
  MKManikin* manikin = nullptr;
  MKManikin::Create(manikin, 1, 50.0, nullptr, 1, 1);
  if (!manikin) {
    state.SkipWithError("creation failed");
    return;
  }
  Awkward(*manikin->GetBody());
  MKRULASpecs* specs = MKRULASpecs::Create(manikin->GetBody());
  if (askLegs) specs->SetSpec(MKKRULALegs, MKKRULAYes);
  MKAnalysisResults results;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MKAnalysis::PerformRULAAnalysis(specs, results));
    benchmark::DoNotOptimize(results.finalScore);
  }
  if (results.status != MKStatusSuccess) state.SkipWithError("the analysis failed");
  state.counters["final"] = results.finalScore;
  specs->Destroy();
  manikin->Destroy();
}

void BM_RULAAnalysis(benchmark::State& state) {
  RunRULA(state, false);
}
BENCHMARK(BM_RULAAnalysis)->Unit(benchmark::kMicrosecond);

void BM_RULAAnalysisWithBalanceTest(benchmark::State& state) {
  RunRULA(state, true);
}
BENCHMARK(BM_RULAAnalysisWithBalanceTest)->Unit(benchmark::kMicrosecond);

}  // namespace
