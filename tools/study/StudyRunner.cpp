#include "StudyRunner.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

#include "StudyPeople.h"
#include "analysis/MKAnalysis.h"
#include "analysis/MKAnalysisResults.h"
#include "analysis/MKRULASpecs.h"
#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikin.h"
#include "math/MKUnitConversions.h"

namespace mkstudy {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// The solver stops within about 0.1 cm (a position potential in cm^2).
constexpr double kTolerance = 0.01;
// A reached orientation is taken as reached within this angle.
constexpr double kOrientationDegrees = 5.0;
constexpr unsigned int kStature = 100, kWeight = 125, kSittingHeight = 94, kSpan = 99;

struct ManikinDeleter {
  void operator()(MKManikin* manikin) const { manikin->Destroy(); }
};
using ManikinPtr = std::unique_ptr<MKManikin, ManikinDeleter>;

struct SpecsDeleter {
  void operator()(MKRULASpecs* specs) const { specs->Destroy(); }
};

// Workplace coordinates (floor at y = 0, the hip joints' centre above the
// placement's floor point) to the manikin's world and back.
struct Frame {
  double dx = 0.0, dy = 0.0, dz = 0.0;  // world = workplace + d

  Point ToWorld(const Point& p) const { return {p[0] + dx, p[1] + dy, p[2] + dz}; }
  template <class V>
  Point ToWorkplace(const V& v) const {
    return {v(0) - dx, v(1) - dy, v(2) - dz};
  }
};

Frame PlaceWorker(MKBody& body, const Placement& placement) {
  double floor = HUGE_VAL;
  for (MKShortName name : {RSFoHe, RSFoSo, RSFoTa, RSFoTo, LSFoHe, LSFoSo, LSFoTa, LSFoTo}) {
    MKSegment* s = body.GetSegment(name);
    floor = std::fmin(floor, std::fmin(s->GetOriginPosition()(1), s->GetEndPosition()(1)));
  }
  const MK3x1Matrix right = body.GetSegment(RSLeTh)->GetOriginPosition();
  const MK3x1Matrix left = body.GetSegment(LSLeTh)->GetOriginPosition();
  Frame frame;
  frame.dx = (right(0) + left(0)) / 2.0 - placement.x;
  frame.dy = floor;
  frame.dz = (right(2) + left(2)) / 2.0 - placement.z;
  return frame;
}

// One thread's manikins, one per sex, made again for each person.
class Worker {
 public:
  Worker(const StudyTask& task, const MKDBAnthro* database)
      : task(task), scratch{MKAnthro(nullptr, database, 0), MKAnthro(nullptr, database, 1)} {
    for (int sex : {0, 1}) {
      if (sex == 0 ? !task.population.women : !task.population.men) continue;
      MKManikin* created = nullptr;
      const MKStatus status = MKManikin::Create(created, sex, 50.0, database, 1, 1);
      if (status != MKStatusSuccess || !created)
        throw TaskError("the library could not create a manikin (status " +
                        std::to_string(status.GetCode()) + ")");
      manikins[sex].reset(created);
    }
  }

  SubjectOutcome Measure(const MKSubject& subject) {
    SubjectOutcome out;
    out.identifier = subject.GetIdentifier();
    out.sex = subject.GetSex();
    out.measured.assign(task.checks.size(), kNaN);
    out.passed.assign(task.checks.size(), false);
    MKManikin& manikin = *manikins[out.sex];
    MKBody& body = *manikin.GetBody();
    // The build sizes segments in the current posture: always the same one,
    // so that a person never depends on the one made before.
    body.SetPosture(MKPostureStanding);
    const MKStatus made = Make(subject, manikin);
    if (made != MKStatusSuccess) {
      out.status = static_cast<int>(made.GetCode());
      return out;
    }
    out.withinBounds = subject.IsWithinBounds(*manikin.GetAnthro());
    out.stature = manikin.GetAnthroValue(kStature);
    out.weight = manikin.GetAnthroValue(kWeight);
    out.sittingHeight = manikin.GetAnthroValue(kSittingHeight);
    out.span = manikin.GetAnthroValue(kSpan);
    body.SetPosture(task.placement.sitting ? MKPostureSitting : MKPostureStanding);
    const Frame frame = PlaceWorker(body, task.placement);
    Reach(manikin, frame, out);
    for (std::size_t i = 0; i < task.checks.size(); ++i) {
      const Check& check = task.checks[i];
      bool passed = out.passed[i];
      if (check.type == CheckType::Sight) Sight(body, frame, check, out.measured[i], passed);
      if (check.type == CheckType::Clearance)
        Clearance(body, frame, check, out.measured[i], passed);
      if (check.type == CheckType::Posture) Rula(body, check, out.measured[i], passed);
      out.passed[i] = passed;
    }
    out.all = std::all_of(out.passed.begin(), out.passed.end(), [](bool b) { return b; });
    return out;
  }

 private:
  // The person's anthropometry is predicted on a copy that belongs to no
  // manikin, so that neither skin nor anchor points are made; the manikin
  // takes its values and builds its skeleton from them.
  MKStatus Make(const MKSubject& subject, MKManikin& manikin) {
    MKAnthro& copy = scratch[subject.GetSex()];
    const MKStatus made = subject.ApplyTo(copy);
    if (made != MKStatusSuccess) return made;
    MKAnthro& anthro = *manikin.GetAnthro();
    anthro.SetInterpolationMethod(0);
    for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i) {
      const MKAnthroVariable* from = copy.GetVariableAtIndex(i);
      MKAnthroVariable* to = anthro.GetVariableAtIndex(i);
      if (from->GetManagementType() == 1)
        to->SetUserValue(from->GetValue());
      else
        to->SetValue(from->GetValue());
    }
    return manikin.BuildManikin(subject.GetSex());
  }

  // Every reach solved together, each hand from its clavicle.
  void Reach(MKManikin& manikin, const Frame& frame, SubjectOutcome& out) {
    MKIKManager& solver = *manikin.GetIKManager();
    MKBody& body = *manikin.GetBody();
    solver.RemoveAllConstraints();
    solver.SetBehavior(1);
    solver.SetIKTolerance(kTolerance);
    std::vector<std::pair<std::size_t, MKIKConstraint*>> constraints;
    for (std::size_t i = 0; i < task.checks.size(); ++i) {
      const Check& check = task.checks[i];
      if (check.type != CheckType::Reach) continue;
      const int type = check.rotation ? MKIKConstraint::sFrame : MKIKConstraint::sPosition;
      MKIKConstraint* c = nullptr;
      if (solver.AddConstraint(body.GetSegment(check.left ? LSHaCPr : RSHaCPr),
                               body.GetSegment(check.left ? LSArCl : RSArCl), type, c,
                               nullptr) != MKStatusSuccess)
        throw TaskError("the manikin has no arm to reach with");
      MK4x4Matrix target;
      target.Unit();
      if (check.rotation) {
        const Point& r = *check.rotation;
        target.RotXYZ(MKUnitConversions::DegreesToRadians(r[0]),
                      MKUnitConversions::DegreesToRadians(r[1]),
                      MKUnitConversions::DegreesToRadians(r[2]));
      }
      const Point p = frame.ToWorld(check.point);
      for (int k = 0; k < 3; ++k) target(3, k) = p[static_cast<std::size_t>(k)];
      c->SetTargetMatrix(target);
      c->Activate();
      constraints.emplace_back(i, c);
    }
    if (constraints.empty()) return;
    solver.Resolve();
    for (const auto& [i, c] : constraints) {
      const Check& check = task.checks[i];
      out.measured[i] = c->GetDistanceToTarget();
      out.passed[i] = out.measured[i] <= check.within &&
                      (!check.rotation || MKUnitConversions::RadiansToDegrees(
                                              c->GetAngleToTarget()) <= kOrientationDegrees);
    }
    solver.RemoveAllConstraints();
  }

  static void Sight(MKBody& body, const Frame& frame, const Check& check, double& measured,
                    bool& passed) {
    const Point r = frame.ToWorkplace(body.GetSegment(RSHeEye)->GetEndPosition());
    const Point l = frame.ToWorkplace(body.GetSegment(LSHeEye)->GetEndPosition());
    const Point eye{(r[0] + l[0]) / 2.0, (r[1] + l[1]) / 2.0, (r[2] + l[2]) / 2.0};
    if (check.byEyeHeight) {
      measured = eye[1];
      passed = measured >= check.eyeLow && measured <= check.eyeHigh;
      return;
    }
    const double run = check.point[2] - eye[2];
    const double along = run == 0.0 ? -1.0 : (check.edgeDepth - eye[2]) / run;
    if (along <= 0.0 || along >= 1.0) {
      passed = true;  // the edge is not between the eyes and the point
      return;
    }
    measured = eye[1] + along * (check.point[1] - eye[1]) - check.edgeHeight;
    passed = measured >= 0.0;
  }

  static void Clearance(MKBody& body, const Frame& frame, const Check& check, double& measured,
                        bool& passed) {
    Point p{};
    if (check.bodyPoint == "head-top")
      p = frame.ToWorkplace(body.GetSegment(SHeTo)->GetEndPosition());
    else if (check.bodyPoint == "knee")
      p = frame.ToWorkplace(body.GetSegment(check.left ? LSLeLe : RSLeLe)->GetOriginPosition());
    else
      p = frame.ToWorkplace(body.GetSegment(check.left ? LSArFAr : RSArFAr)->GetOriginPosition());
    measured = p[static_cast<std::size_t>(check.axis)];
    passed = check.below ? measured <= check.at : measured >= check.at;
  }

  static void Rula(MKBody& body, const Check& check, double& measured, bool& passed) {
    const std::unique_ptr<MKRULASpecs, SpecsDeleter> specs(MKRULASpecs::Create(&body));
    MKAnalysisResults results;
    if (!specs ||
        specs->SetSpec(MKKRULASide, check.left ? MKKRULALeft : MKKRULARight) != MKStatusSuccess ||
        MKAnalysis::PerformRULAAnalysis(specs.get(), results) != MKStatusSuccess)
      return;  // no score: not accommodated
    measured = results.finalScore;
    passed = results.finalScore >= 1 && results.finalScore <= check.maxScore;
  }

  const StudyTask& task;
  MKAnthro scratch[2];
  ManikinPtr manikins[2];
};

}  // namespace

StudyResult RunStudy(const StudyTask& task, int jobs, const Progress& progress) {
  const People people = FindPeople(task.population);
  const std::size_t total = people.subjects.size();
  jobs = std::max(1, std::min<int>(jobs, static_cast<int>(std::max<std::size_t>(total, 1))));
  // The manikins are made before the threads start.
  std::vector<std::unique_ptr<Worker>> workers;
  for (int j = 0; j < jobs; ++j) workers.push_back(std::make_unique<Worker>(task, people.database));

  StudyResult result;
  result.subjects.resize(total);
  std::atomic<std::size_t> next{0};
  std::mutex lock;
  std::size_t done = 0;
  std::exception_ptr failure;
  const auto work = [&](Worker& worker) {
    try {
      for (std::size_t i = next++; i < total; i = next++) {
        result.subjects[i] = worker.Measure(people.subjects[i]);
        const std::lock_guard<std::mutex> guard(lock);
        ++done;
        if (progress) progress(done, total);
      }
    } catch (...) {
      const std::lock_guard<std::mutex> guard(lock);
      if (!failure) failure = std::current_exception();
      next = total;
    }
  };
  std::vector<std::thread> threads;
  for (int j = 1; j < jobs; ++j) threads.emplace_back(work, std::ref(*workers[j]));
  work(*workers[0]);
  for (std::thread& t : threads) t.join();
  if (failure) std::rethrow_exception(failure);
  return result;
}

}  // namespace mkstudy
