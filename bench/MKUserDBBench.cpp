// Protocol: completing a user anthropometric database, which a host pays
// when it loads a population or first uses it for a manikin; measured by
// Google Benchmark's own repetition rule on one core:
// - a population given only stature and weight (2 of 103 variables): a new
//   database, its two variables set, Update (the 101 others predicted for
//   both sexes), destroyed;
// - the shipped population "US ARMY 2012" read from its record (68 variables
//   with their 2,278 correlations) and completed, the record already in
//   memory, so that only parsing and completion are measured.
// Google Benchmark prints the CPU and its caches with the results.
#include <benchmark/benchmark.h>

#include "host/KelDataPath.h"
#include "mkmanikin.h"

namespace {

void BM_CompleteStatureAndWeight(benchmark::State& state) {
  MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();  // built once, outside the loop
  for (auto _ : state) {
    MKUserDBAnthro* db = MKUserDBAnthro::Create();
    db->SetVariable("<STATURE>", 178.0, 164.0, 7.2, 6.6);
    db->SetVariable("<WEIGHT>", 84.0, 66.0, 13.0, 10.5);
    db->Update();
    benchmark::DoNotOptimize(db->GetNumberOfVariables());
    db->Destroy();
  }
}
BENCHMARK(BM_CompleteStatureAndWeight)->Unit(benchmark::kMillisecond);

void BM_ReadAndCompleteUSArmy2012(benchmark::State& state) {
  KelStreamDefinition* record = nullptr;
  MKManikinPart::GetStreamFromFile(KelFindDataFile("USArmy2012.mkudb"), record);
  if (!record) {
    state.SkipWithError("data file USArmy2012.mkudb not found");
    return;
  }
  MKUserDBAnthro* db = MKUserDBAnthro::Create();
  for (auto _ : state) {
    record->Reset();
    if (db->Read(*record) != MKStatusSuccess) {
      state.SkipWithError("the record did not read");
      break;
    }
    benchmark::DoNotOptimize(db->GetNumberOfVariables());
  }
  db->Destroy();
  delete record;
}
BENCHMARK(BM_ReadAndCompleteUSArmy2012)->Unit(benchmark::kMillisecond);

}  // namespace
