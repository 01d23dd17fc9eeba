// Different manikins used from different threads at once: each job builds,
// poses, reaches, scores RULA, analyses a lift and a carry (Snook and
// Ciriello at 90 %, the share the data file has), and writes and reads its
// record. Run first on four threads together, so that every first use of a
// shared table happens under contention, then one by one on this thread:
// each outcome must be bit-identical. scripts/tsan runs it under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "analysis/MKAnalysis.h"
#include "analysis/MKAnalysisResults.h"
#include "analysis/MKRULASpecs.h"
#include "analysis/MKRULATestSupport.h"
#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "anthro/MKDatabaseManager.h"
#include "anthro/MKUserDBAnthro.h"
#include "host/KelDataPath.h"
#include "host/KelStreamDefinition.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikin.h"
#include "manikin/MKManikinTestSupport.h"
#include "parts/MKStreamTestSupport.h"

namespace {

enum class Population { BuiltIn, Army2012ByName, Army2012Record };

struct Job {
  int sex;
  double percentile;
  Population population;
  unsigned int seed;
};

// What a job measured. Numbers are compared by their bits, NaN included.
struct Outcome {
  std::vector<int> codes;
  std::vector<double> numbers;
  std::string texts;
};

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

using Part = mktest::PartPtr;

struct SpecsDeleter {
  void operator()(MKRULASpecs* s) const { s->Destroy(); }
};

// The shipped population's record, registered again by the jobs that name
// it by record rather than by name.
std::string Army2012Record() {
  KelStreamDefinition* file = nullptr;
  MKManikinPart::GetStreamFromFile(KelFindDataFile("USArmy2012.mkudb"), file);
  if (!file) return {};
  std::string bytes(file->GetBuffer(), file->GetLength());
  delete file;
  return bytes;
}

const MKDBAnthro* PopulationOf(Population population, const std::string& record) {
  MKDatabaseManager* manager = MKDatabaseManager::GetInstance();
  switch (population) {
    case Population::BuiltIn:
      return manager->GetDefaultAnthroDB();
    case Population::Army2012ByName:
      return manager->GetAnthroDBFromName("US ARMY 2012");
    case Population::Army2012Record: {
      KelStreamDefinition stream(record.data(), record.size());
      MKDatabase* db = nullptr;
      if (manager->LoadDatabase(stream, db) != MKStatusSuccess) return nullptr;
      return dynamic_cast<MKDBAnthro*>(db);
    }
  }
  return nullptr;
}

void AppendPosture(MKBody& body, std::vector<double>& numbers) {
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i)
    for (int axis = 0; axis < 3; ++axis)
      if (const MKDOF* dof = body.GetSegmentAtIndex(i)->GetDOF(axis))
        numbers.push_back(dof->GetMathematicalValue());
}

void AppendResults(const MKAnalysisResults& r, Outcome& out) {
  out.codes.push_back(static_cast<int>(r.status.GetCode()));
  for (double value : {r.actionLimit, r.rwlOrigin, r.rwlDestination, r.liOrigin, r.liDestination,
                       r.hmOrigin, r.vmDestination, r.fm, r.liftLowerWeight, r.carryWeight})
    out.numbers.push_back(value);
  for (int score :
       {r.upperArmScore, r.lowerArmScore, r.wristScore, r.wristTwistScore, r.postureAScore,
        r.muscleUseScore, r.forceLoadScore, r.wristAndArmScore, r.neckScore, r.trunkScore,
        r.legScore, r.postureBScore, r.neckTrunkLegScore, r.finalScore})
    out.codes.push_back(score);
  out.texts += r.message.ConvertToChar();
  out.texts += '|';
}

Outcome DoJob(const Job& job, const std::string& record) {
  Outcome out;
  const MKDBAnthro* population = PopulationOf(job.population, record);
  out.codes.push_back(population ? 1 : 0);
  if (!population) return out;
  MKManikin* created = nullptr;
  out.codes.push_back(static_cast<int>(
      MKManikin::Create(created, job.sex, job.percentile, population, 1, 1).GetCode()));
  const mktest::Manikin manikin(created);
  if (!manikin) return out;
  MKBody& body = *manikin->GetBody();
  const MKAnthro& anthro = *manikin->GetAnthro();
  for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i)
    out.numbers.push_back(anthro.GetVariableAtIndex(i)->GetValue());

  // The right hand reaches, from standing, where it was in a random posture.
  std::mt19937 rng(job.seed);
  body.SetPosture(MKPostureStanding);
  mkrulatest::RandomPosture(body, rng, 0.4);
  MKFrame target;
  body.GetSegment(RSHaCPr)->GetGlobalMatrix(target);
  body.SetPosture(MKPostureStanding);
  out.codes.push_back(
      static_cast<int>(manikin->GetIKManager()
                           ->Reach(body.GetSegment(RSHaCPr), body.GetSegment(RSArCl), target, 1)
                           .GetCode()));
  AppendPosture(body, out.numbers);
  const Part reached(manikin->ExtractPart(MKPartPostureID, 0, nullptr));

  const std::unique_ptr<MKRULASpecs, SpecsDeleter> specs(MKRULASpecs::Create(&body));
  MKAnalysisResults rula;
  out.codes.push_back(
      static_cast<int>(MKAnalysis::PerformRULAAnalysis(specs.get(), rula).GetCode()));
  AppendResults(rula, out);
  out.texts += rula.InterpretRULAScore(0).ConvertToChar();

  // A lift from the hands low in front up to the reached posture.
  body.SetPosture(MKPostureStanding);
  mkrulatest::SetDegrees(body, RSArAr, 0, 30);
  mkrulatest::SetDegrees(body, LSArAr, 0, 30);
  const Part low(manikin->ExtractPart(MKPartPostureID, 0, nullptr));
  const MKFrame floor;
  MKAnalysisResults lift;
  out.codes.push_back(
      static_cast<int>(MKAnalysis::PerformLiftLowerAnalysis(
                           manikin.get(), low.get(), reached.get(), MKAnalysis::MKNIOSH1991,
                           MKAnalysis::MKCouplingFair, 4.0 / 60, 2, 8, 50, floor, floor, lift)
                           .GetCode()));
  AppendResults(lift, out);
  MKAnalysisResults carry;
  out.codes.push_back(static_cast<int>(MKAnalysis::PerformSnookCiriello1991CarryAnalysis(
                                           &body, job.sex, 1.0 / 60, 400, 90, floor, carry)
                                           .GetCode()));
  AppendResults(carry, out);

  // The record, read back into a new manikin, holds the same posture.
  KelStreamDefinition written;
  out.codes.push_back(static_cast<int>(manikin->Write(written).GetCode()));
  out.numbers.push_back(static_cast<double>(written.GetLength()));
  written.Reset();
  MKManikinPart* read = nullptr;
  out.codes.push_back(static_cast<int>(MKManikinPart::ReadFromStream(written, read).GetCode()));
  const Part readBack(read);
  if (!readBack || readBack->GetPartID() != MKPartManikinID) return out;
  std::vector<double> before, after;
  AppendPosture(body, before);
  AppendPosture(*static_cast<MKManikin&>(*readBack).GetBody(), after);
  out.codes.push_back(SameBits(before, after) ? 1 : 0);
  return out;
}

}  // namespace

TEST(MKThreadSafetyTest, ManikinsOnFourThreadsMatchTheSameWorkOnOne) {
  constexpr int kThreads = 4;
  const std::vector<std::vector<Job>> jobs = {
      {{0, 5, Population::BuiltIn, 11}, {1, 50, Population::Army2012ByName, 12}},
      {{1, 95, Population::BuiltIn, 21}, {0, 50, Population::Army2012Record, 22}},
      {{0, 50, Population::Army2012ByName, 31}, {1, 5, Population::Army2012Record, 32}},
      {{1, 50, Population::Army2012Record, 41}, {0, 95, Population::BuiltIn, 42}}};
  const std::string record = Army2012Record();
  ASSERT_FALSE(record.empty()) << "USArmy2012.mkudb is not in the data directory";

  std::vector<std::vector<Outcome>> threaded(kThreads);
  std::atomic<int> waiting{kThreads};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      // Every thread starts its first job together with the others.
      waiting.fetch_sub(1);
      while (waiting.load() > 0) std::this_thread::yield();
      for (const Job& job : jobs[t]) threaded[t].push_back(DoJob(job, record));
    });
  for (std::thread& thread : threads) thread.join();

  // One registration of the population, whoever asked first and however.
  MKDatabaseManager* manager = MKDatabaseManager::GetInstance();
  int registered = 0;
  for (unsigned int i = 0; i < manager->GetNumberOfUserAnthroDB(); ++i)
    if (const MKUserDBAnthro* db = manager->GetUserAnthroDBAtIndex(i))
      registered += db->GetName() == KelUnicodeString("US ARMY 2012") ? 1 : 0;
  EXPECT_EQ(registered, 1);

  for (int t = 0; t < kThreads; ++t)
    for (std::size_t j = 0; j < jobs[t].size(); ++j) {
      SCOPED_TRACE("seed " + std::to_string(jobs[t][j].seed));
      const Outcome& got = threaded[t][j];
      const Outcome alone = DoJob(jobs[t][j], record);
      ASSERT_GE(alone.codes.size(), 2u);
      EXPECT_EQ(alone.codes[1], 0) << "the manikin was not created";
      EXPECT_EQ(alone.codes.back(), 1) << "the record read back holds another posture";
      EXPECT_EQ(got.codes, alone.codes);
      EXPECT_TRUE(SameBits(got.numbers, alone.numbers));
      EXPECT_EQ(got.texts, alone.texts);
    }
}
