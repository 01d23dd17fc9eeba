// Protocol: one reach envelope at the default mesh resolution (32: 31 rings
// of 32 targets and two poles, 994 solves), which a host pays each time it
// shows one. A 50th-percentile man of the built-in population, created once
// outside the loop, standing; MKBody::BuildReachEnvelope from the clavicle
// to the hand, right arm and left arm in separate benchmarks. Each iteration
// builds the whole envelope and puts the manikin back as it was, so every
// iteration starts from the same state. Measured by Google Benchmark's own
// repetition rule on one core, in CPU time of the process; target: at most
// 200 ms per envelope. Google Benchmark prints the CPU and its caches with
// the results; on a shared machine, note its load beside the numbers.
#include <benchmark/benchmark.h>

#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "body/MKSkinElement.h"
#include "manikin/MKManikin.h"

namespace {

MKManikin* Man() {
  static MKManikin* manikin = [] {
    MKManikin* m = nullptr;
    MKManikin::Create(m, 1, 50.0, nullptr, 1, 1);
    return m;
  }();
  return manikin;
}

void Envelope(benchmark::State& state, MKShortName from, MKShortName to, MKShortName girdle) {
  MKManikin* man = Man();
  if (!man) {
    state.SkipWithError("the manikin could not be created");
    return;
  }
  MKBody* body = man->GetBody();
  for (auto _ : state) {
    body->BuildReachEnvelope(from, to, MKFrame());
    benchmark::DoNotOptimize(body->GetSegment(girdle)->GetSkinElement()->GetNumberOfMeshes());
  }
}

void BM_RightArmEnvelope(benchmark::State& state) {
  Envelope(state, RSArCl, RSHaCPr, RSBoTst);
}
BENCHMARK(BM_RightArmEnvelope)->Unit(benchmark::kMillisecond);

void BM_LeftArmEnvelope(benchmark::State& state) {
  Envelope(state, LSArCl, LSHaCPr, LSBoTst);
}
BENCHMARK(BM_LeftArmEnvelope)->Unit(benchmark::kMillisecond);

}  // namespace
