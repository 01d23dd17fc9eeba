// Protocol: forward kinematics of the whole body of a 50th-percentile man of
// the built-in population (99 segments; every DOF of the body, the vision's
// lines of sight not included), on one core (the library has no threads),
// by Google Benchmark's own repetition rule:
// - SetEveryDOFAndReadEverySegment: each iteration sets every DOF through
//   MKDOF::SetMathematicalValue, alternating between two postures so that
//   every value changes (+0.05 and -0.05 rad, clamped to the DOF's limits;
//   coupled DOFs follow their masters as they do for a host), then reads the
//   world matrix of every segment in tree order (MKSegment::GetGlobalMatrix);
// - SetDOFValuesAndReadEverySegment: the same through one call,
//   MKBody::SetDOFValues with the whole vector;
// - ReadEverySegmentUnchanged: the reads alone, nothing changed (the cost of
//   asking a valid tree).
// The counter "per segment" is the CPU time of an iteration over the 99
// segments. The anchor is 1 to 3 us for a humanoid in the fastest open
// rigid-body libraries, which sweep flat arrays once; here a DOF change marks
// its segment's subtree (segments and their ellipses) changed, and each read
// rebuilds the segment's local matrix from its DOFs, one rotation at a time,
// after its ancestor's.
#include <benchmark/benchmark.h>

#include <vector>

#include "mkmanikin.h"

namespace {

struct WholeBody {
  MKManikin* manikin = nullptr;
  std::vector<MKDOF*> dofs;
  std::vector<MKSegment*> segments;

  WholeBody() {
    MKManikin::Create(manikin, 1, 50.0, nullptr, 1, 1);
    MKBody* body = manikin->GetBody();
    for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i) {
      MKSegment* segment = body->GetSegmentAtIndex(i);
      segments.push_back(segment);
      for (int axis = 0; axis < 3; ++axis)
        if (MKDOF* dof = segment->GetDOF(axis)) dofs.push_back(dof);
    }
  }
  ~WholeBody() { manikin->Destroy(); }

  double ReadAll() {
    double sum = 0.0;
    for (MKSegment* segment : segments) sum += segment->GetGlobalMatrix()(3, 1);
    return sum;
  }

  void Count(benchmark::State& state) const {
    state.counters["segments"] = static_cast<double>(segments.size());
    state.counters["DOFs"] = static_cast<double>(dofs.size());
    state.counters["per segment"] = benchmark::Counter(
        static_cast<double>(segments.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  }
};

void BM_SetEveryDOFAndReadEverySegment(benchmark::State& state) {
  WholeBody body;
  double angle = 0.05;
  for (auto _ : state) {
    angle = -angle;
    for (MKDOF* dof : body.dofs) dof->SetMathematicalValue(angle);
    benchmark::DoNotOptimize(body.ReadAll());
  }
  body.Count(state);
}
BENCHMARK(BM_SetEveryDOFAndReadEverySegment);

void BM_SetDOFValuesAndReadEverySegment(benchmark::State& state) {
  WholeBody body;
  MKBody* skeleton = body.manikin->GetBody();
  KelRawColldouble up, down;
  skeleton->GetDOFValues(up);
  skeleton->GetDOFValues(down);
  for (int i = 1; i <= up.Size(); ++i) {
    up[i] = 0.05;
    down[i] = -0.05;
  }
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    skeleton->SetDOFValues(flip ? up : down, false);
    benchmark::DoNotOptimize(body.ReadAll());
  }
  body.Count(state);
}
BENCHMARK(BM_SetDOFValuesAndReadEverySegment);

void BM_ReadEverySegmentUnchanged(benchmark::State& state) {
  WholeBody body;
  body.ReadAll();
  for (auto _ : state) benchmark::DoNotOptimize(body.ReadAll());
  body.Count(state);
}
BENCHMARK(BM_ReadEverySegmentUnchanged);

}  // namespace
