// Protocol: the costs a host pays most often, each measured by Google
// Benchmark's own repetition rule on one core (the library has no threads):
// - predicting every free dimension of a male of the built-in population
//   with stature and weight fixed (MKAnthro::Update without a manikin);
// - creating a 99-segment body (skeleton, coupled angles, joint limits);
// - posing a forearm and reading the world position of a fingertip
//   (a DOF change invalidates the subtree; the read updates it lazily);
// - writing a whole-body posture (131 posture values) to a stream and
//   reading it back.
// Google Benchmark prints the CPU and its caches with the results.
#include <benchmark/benchmark.h>

#include "mkmanikin.h"

namespace {

void BM_PredictWithStatureAndWeightFixed(benchmark::State& state) {
  MKAnthro anthro(nullptr, nullptr, 1);
  anthro.GetVariable("<STATURE>")->SetUserValue(185.0);
  anthro.GetVariable("<WEIGHT>")->SetUserValue(90.0);
  for (auto _ : state) benchmark::DoNotOptimize(anthro.Update());
}
BENCHMARK(BM_PredictWithStatureAndWeightFixed);

void BM_CreateBody(benchmark::State& state) {
  for (auto _ : state) {
    MKBody body(nullptr, 1, 0);
    benchmark::DoNotOptimize(body.GetNumberOfDOFs());
  }
}
BENCHMARK(BM_CreateBody);

void BM_PoseForearmAndReadFingertip(benchmark::State& state) {
  MKBody body(nullptr, 1, 0);
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i)
    body.GetSegmentAtIndex(i)->SetLength(10.0);
  MKDOF* elbow = body.GetSegment(RSArFAr)->GetDOF(0);
  MKSegment* fingertip = body.GetSegment(RSHaIn3);
  double angle = 0.0;
  for (auto _ : state) {
    angle = angle > 2.0 ? 0.0 : angle + 0.01;
    elbow->SetMathematicalValue(angle);
    benchmark::DoNotOptimize(fingertip->GetEndPosition());
  }
}
BENCHMARK(BM_PoseForearmAndReadFingertip);

void BM_PostureRoundTrip(benchmark::State& state) {
  MKBody body(nullptr, 1, 0);
  MKManikinPart* posture = MKManikinPart::Create(MKPartPostureID);
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i)
    for (int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = body.GetSegmentAtIndex(i)->GetDOF(axis)) posture->PasteFrom(dof, 1);
  for (auto _ : state) {
    KelStreamDefinition stream;
    posture->Write(stream);
    stream.Reset();
    MKManikinPart* read = nullptr;
    MKManikinPart::ReadFromStream(stream, read);
    read->Destroy();
  }
  posture->Destroy();
}
BENCHMARK(BM_PostureRoundTrip);

}  // namespace
