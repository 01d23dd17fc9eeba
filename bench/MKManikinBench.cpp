// Protocol: the three costs of a manikin that a host pays interactively, each
// measured by Google Benchmark's own repetition rule on one core:
// - creating a 50th-percentile man of the built-in population (skin data,
//   body, prediction, geometric build, skin meshes, anchor points) and
//   destroying it;
// - fixing one dimension of an existing manikin (stature, alternating
//   between two values so that every iteration really changes it), which
//   predicts the free dimensions again and rebuilds the body;
// - reading back the record of a created 50th-percentile man with two
//   dimensions fixed (ReadFromStream: a new manikin receives every section)
//   and destroying it: what opening a saved study costs per manikin.
// Google Benchmark prints the CPU and its caches with the results.
#include <benchmark/benchmark.h>

#include "mkmanikin.h"

namespace {

void BM_CreateManikin50th(benchmark::State& state) {
  for (auto _ : state) {
    MKManikin* manikin = nullptr;
    benchmark::DoNotOptimize(MKManikin::Create(manikin, 1, 50.0, nullptr, 1, 1));
    if (!manikin) {
      state.SkipWithError("creation failed");
      break;
    }
    manikin->Destroy();
  }
}
BENCHMARK(BM_CreateManikin50th)->Unit(benchmark::kMillisecond);

void BM_UpdateAfterFixingStature(benchmark::State& state) {
  MKManikin* manikin = nullptr;
  MKManikin::Create(manikin, 1, 50.0, nullptr, 1, 1);
  MKAnthroVariable* stature = manikin ? manikin->GetAnthro()->GetVariable("<STATURE>") : nullptr;
  if (!stature) {
    state.SkipWithError("creation failed");
    if (manikin) manikin->Destroy();
    return;
  }
  double value = 180.0;
  for (auto _ : state) {
    stature->SetUserValue(value);
    benchmark::DoNotOptimize(manikin->GetAnthro()->Update());
    value = value == 180.0 ? 170.0 : 180.0;
  }
  manikin->Destroy();
}
BENCHMARK(BM_UpdateAfterFixingStature)->Unit(benchmark::kMillisecond);

void BM_ReadManikinRecord(benchmark::State& state) {
  MKManikin* manikin = nullptr;
  MKManikin::Create(manikin, 1, 50.0, nullptr, 1, 1);
  KelStreamDefinition record;
  const bool written =
      manikin &&
      manikin->GetAnthro()->GetVariable("<STATURE>")->SetUserValue(180.0) == MKStatusSuccess &&
      manikin->GetAnthro()->GetVariable("<SPAN>")->SetUserValue(185.0) == MKStatusSuccess &&
      manikin->GetAnthro()->Update() == MKStatusSuccess &&
      manikin->Write(record) == MKStatusSuccess;
  if (manikin) manikin->Destroy();
  if (!written) {
    state.SkipWithError("record not written");
    return;
  }
  for (auto _ : state) {
    KelStreamDefinition stream(record.GetBuffer(), record.GetLength());
    MKManikinPart* part = nullptr;
    if (MKManikinPart::ReadFromStream(stream, part) != MKStatusSuccess || !part) {
      state.SkipWithError("record not read");
      break;
    }
    part->Destroy();
  }
}
BENCHMARK(BM_ReadManikinRecord)->Unit(benchmark::kMillisecond);

}  // namespace
