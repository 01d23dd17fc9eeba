// The Snook and Ciriello 1991 tables: axis searches, interpolation, the lift
// and lower, push and pull, and carry analyses and their entries.
#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "analysis/MKAnalysis.h"
#include "analysis/detail/MKHandling.h"
#include "analysis/detail/MKSnookCiriello1991.h"
#include "body/MKBody.h"
#include "body/MKEllipse.h"
#include "manikin/MKManikin.h"
#include "math/MKFrame.h"
#include "math/MKIEEE.h"
#include "math/MKUnitConversions.h"

namespace {

using SC = MKSnookCiriello1991;

constexpr int kOutside = INT_MAX;
constexpr double kRatioEpsilon = 1.1920929e-07;
// The front of the chest lies half its depth (the chest ellipse's minor
// axis) in front of the ellipse's centre.
constexpr double kChestDepthShare = 0.5;

// Where a value lies on an axis: the two indices around it and the ratio.
struct Place {
  int lo = kOutside, hi = kOutside;
  double r = MKIEEE::NaN();
  bool Found() const { return lo != kOutside && hi != kOutside && !std::isnan(r); }
};

// Measurements converted from centimetres miss a tabulated value by
// rounding; this close, they are read at it.
constexpr double kSnap = 1e-6;

Place Locate(const double* axis, int n, double x) {
  for (int i = 0; i < n; ++i)
    if (std::fabs(x - axis[i]) <= kSnap) x = axis[i];
  Place p;
  p.lo = MKAnalysis::SearchLowerBound(axis, n, x);
  p.hi = MKAnalysis::SearchHigherBound(axis, n, x);
  if (p.lo != kOutside && p.hi != kOutside)
    p.r = MKAnalysis::ComputeRatio(axis[p.lo], axis[p.hi], x);
  return p;
}

double Inches(double cm) {
  return cm / 2.54;
}

// The period between exertions (s) of a frequency (per second), longer
// periods than the table's last read at the last.
double Period(double frequency, double longest) {
  return frequency > 1.0 / longest ? 1.0 / frequency : longest;
}

std::string Number(double x) {
  std::string text = std::to_string(x);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text;
}

// Reads the eight corners around (a, b, c) and interpolates; `index(a, b,
// c)` is the cell of one corner and `name(a, b, c)` its axis values. A
// missing cell stops with status 3 and the message naming it and the file.
template <typename Index, typename Name>
bool Lookup(int table, const Place& a, const Place& b, const Place& c, Index index, Name name,
            double& value, MKAnalysisResults& results) {
  const double* cells = SC::GetTable(static_cast<SC::Table>(table));
  double corner[8];
  for (int i = 0; i < 8; ++i) {
    const int ia = i & 4 ? a.hi : a.lo, ib = i & 2 ? b.hi : b.lo, ic = i & 1 ? c.hi : c.lo;
    corner[i] = cells[index(ia, ib, ic)];
    if (std::isnan(corner[i])) {
      std::string text = std::string("The Snook and Ciriello 1991 table cell ") +
                         SC::sTableNames[table] + " " + name(ia, ib, ic) + " is not available in " +
                         SC::GetPath();
      if (!SC::GetProblem().empty()) text += " (" + SC::GetProblem() + ")";
      results.message = text.c_str();
      return false;
    }
  }
  value = MKAnalysis::Interpolate(corner[0], corner[1], corner[2], corner[3], corner[4], corner[5],
                                  corner[6], corner[7], a.r, b.r, c.r);
  return !std::isnan(value);
}

int LiftPercentageIndex(double percentage) {
  for (int i = 0; i < 4; ++i)
    if (percentage == SC::sLiftPercentages[i]) return i;
  return 4;
}

int PushPercentageIndex(double percentage) {
  return percentage == 90.0 ? 0 : percentage == 75.0 ? 1 : 2;
}

int Zone(double vInches) {
  return vInches <= 30.0 ? 0 : vInches <= 60.0 ? 1 : 2;
}

// A push, pull or carry table at a distance (ft), height (in) and period.
MKStatus Exertion(int table, double feet, double inches, double period, int percentage,
                  double& newtons, MKAnalysisResults& results) {
  const bool carry = SC::IsCarry(table);
  const int distances = carry ? 3 : SC::IsPull(table) ? SC::sPullDistanceCount : 6;
  const int heights = carry ? 2 : 3;
  const double* axis = carry ? SC::sCarryDistances : SC::sPushDistances;
  // A shorter distance is read at the shortest (6.89 ft is 2.1 m rounded).
  const Place dist = Locate(axis, distances, std::max(feet, axis[0]));
  if (!dist.Found()) return carry ? MKStatusCarryDistanceRefused : MKStatusPushDistanceRefused;
  const Place height = Locate(SC::Heights(table), heights, inches);
  if (!height.Found()) return MKStatusPullDistanceRefused;
  const Place time = Locate(carry ? SC::sCarryPeriods : SC::sPushPeriods, 7, period);
  if (!time.Found()) return MKStatusDurationOrFrequencyOutOfRange;
  const double* periods = carry ? SC::sCarryPeriods : SC::sPushPeriods;
  const auto name = [&](int d, int h, int t) {
    return Number(axis[d]) + " ft, " + Number(SC::Heights(table)[h]) + " in, " +
           Number(SC::sPushPercentages[percentage]) + " %, every " + Number(periods[t]) + " s";
  };
  double pounds;
  if (!Lookup(
          table, dist, height, time,
          [&](int d, int h, int t) { return ((d * heights + h) * 3 + percentage) * 7 + t; }, name,
          pounds, results))
    return MKStatusFailure;
  newtons = MKUnitConversions::LbfToNewtons(pounds);
  return MKStatusSuccess;
}

}  // namespace

int MKAnalysis::SearchLowerBound(const double* axis, int n, double x) {
  if (!axis || n < 1 || !(x >= axis[0] && x <= axis[n - 1])) return kOutside;
  if (x == axis[n - 1]) return n - 1;
  int i = 0;
  while (!(x < axis[i + 1])) ++i;
  return i;
}

int MKAnalysis::SearchHigherBound(const double* axis, int n, double x) {
  if (!axis || n < 1 || !(x >= axis[0] && x <= axis[n - 1])) return kOutside;
  if (x == axis[0]) return 0;
  int i = 1;
  while (!(x <= axis[i])) ++i;
  return i;
}

double MKAnalysis::ComputeRatio(double lo, double hi, double x) {
  if (!(lo <= x && x <= hi)) return MKIEEE::NaN();
  return hi - lo >= kRatioEpsilon ? (x - lo) / (hi - lo) : 0.0;
}

double MKAnalysis::Interpolate(double c000, double c001, double c010, double c011, double c100,
                               double c101, double c110, double c111, double r1, double r2,
                               double r3) {
  for (double r : {r1, r2, r3})
    if (!(r >= 0.0 && r <= 1.0)) return MKIEEE::NaN();
  return (1 - r1) *
             ((1 - r2) * ((1 - r3) * c000 + r3 * c001) + r2 * ((1 - r3) * c010 + r3 * c011)) +
         r1 * ((1 - r2) * ((1 - r3) * c100 + r3 * c101) + r2 * ((1 - r3) * c110 + r3 * c111));
}

double MKAnalysis::ComputeHForSnookCiriello(const MKBody* body, const MKFrame& frame) {
  if (!body) return MKIEEE::NaN();
  if (!SymmetricalStand(body)) return ComputeH(body, frame);
  MKEllipse* chest = body->GetEllipse(EBoCh);
  if (!chest) return MKIEEE::NaN();
  const MK3DVertex centre =
      mkhandling::InFrame(chest->GetPosition(MKPositionCenter, MKGlobalSpace), frame);
  const MK3DVertex hands = mkhandling::InFrame(mkhandling::MidEnd(body, RSHaCPr, LSHaCPr), frame);
  const double reach = std::hypot(hands.x - centre.x, hands.z - centre.z);
  return std::max(0.0, reach - kChestDepthShare * chest->GetMinorAxis());
}

MKStatus MKAnalysis::PerformSnookCiriello1991LiftLowerAnalysis(
    MKManikin* manikin, const MKManikinPart* origin, const MKManikinPart* destination,
    double frequency, double percentage, const MKFrame& originFrame,
    const MKFrame& destinationFrame, MKAnalysisResults& results) {
  MKStatus warning = MKStatusSuccess;
  const int sex = mkhandling::Sex(manikin);
  if (sex < 0 || !mkhandling::PasteAndCheckStance(manikin, origin, destination, originFrame,
                                                  destinationFrame, warning))
    return results.status = MKStatusMissingInput;
  const MKBody* body = manikin->GetBody();
  const double vD = ComputeV(body, destinationFrame);
  mkhandling::Paste(manikin, origin);
  const double vO = ComputeV(body, originFrame);
  const double d = std::fabs(vD - vO);
  const double h = ComputeHForSnookCiriello(body, originFrame);

  results.status = MKStatusMissingInput;
  const Place hPlace = Locate(SC::sLiftH, 3, std::max(Inches(h), 10.0));
  if (!hPlace.Found()) return results.status;
  const Place dPlace = Locate(SC::sLiftD, 3, std::max(Inches(d), 10.0));
  if (!dPlace.Found()) return results.status;
  results.status = MKStatusDurationOrFrequencyOutOfRange;
  const double period = Period(frequency, SC::sLiftPeriods[7]);
  const Place time = Locate(SC::sLiftPeriods, 8, period);
  if (!time.Found()) return results.status;
  results.status = MKStatusFailure;
  if (std::isnan(vO + vD)) return results.status;

  const int p = LiftPercentageIndex(percentage);
  const int table = (vD > vO ? SC::sMaleLift : SC::sMaleLower) + (sex ? 0 : 1);
  double least = MKIEEE::Infinite();
  for (int zone = Zone(Inches(std::min(vO, vD))); zone <= Zone(Inches(std::max(vO, vD))); ++zone) {
    const auto name = [&](int hi, int di, int ti) {
      return "zone " + std::to_string(zone) + ", H " + Number(SC::sLiftH[hi]) + " in, D " +
             Number(SC::sLiftD[di]) + " in, " + Number(SC::sLiftPercentages[p]) + " %, every " +
             Number(SC::sLiftPeriods[ti]) + " s";
    };
    double pounds;
    if (!Lookup(
            table, hPlace, dPlace, time,
            [&](int hi, int di, int ti) { return (((zone * 3 + hi) * 3 + di) * 5 + p) * 8 + ti; },
            name, pounds, results))
      return results.status;
    least = std::min(least, pounds);
  }
  results.liftLowerWeight = MKUnitConversions::LbfToNewtons(least);
  results.hOrigin = h / 100.0;
  results.vOrigin = vO / 100.0;
  results.vDestination = vD / 100.0;
  results.d = d / 100.0;
  return results.status = warning;
}

MKStatus MKAnalysis::PerformSnookCiriello1991PushPullAnalysis(
    const MKBody* body, int sex, double frequency, double pushDistance, double pullDistance,
    double percentage, const MKFrame& frame, MKAnalysisResults& results) {
  if (sex != 0 && sex != 1) return results.status = MKStatusSexRefused;
  if (!(pushDistance >= 0.0 && pullDistance >= 0.0 && frequency >= 0.0))
    return results.status = MKStatusValueRefused;
  const double period = Period(frequency, SC::sPushPeriods[6]);
  const double inches = Inches(ComputeV(body, frame));
  if (std::isnan(inches)) return results.status = MKStatusMissingInput;
  const int p = PushPercentageIndex(percentage);
  const int offset = sex ? 0 : 2;
  struct Task {
    double cm;
    int table;
    double* field;
  } const tasks[] = {{pushDistance, SC::sMalePushInitial + offset, &results.pushInitialForce},
                     {pushDistance, SC::sMalePushSustained + offset, &results.pushSustainedForce},
                     {pullDistance, SC::sMalePullInitial + offset, &results.pullInitialForce},
                     {pullDistance, SC::sMalePullSustained + offset, &results.pullSustainedForce}};
  for (const Task& task : tasks) {
    if (task.cm == 0.0) continue;
    double newtons;
    const MKStatus status = Exertion(task.table, MKUnitConversions::CentimetersToFeet(task.cm),
                                     inches, period, p, newtons, results);
    if (!status.IsSuccess()) return results.status = status;
    *task.field = newtons;
  }
  return results.status = MKStatusSuccess;
}

MKStatus MKAnalysis::PerformSnookCiriello1991CarryAnalysis(const MKBody* body, int sex,
                                                           double frequency, double distance,
                                                           double percentage, const MKFrame& frame,
                                                           MKAnalysisResults& results) {
  if (sex != 0 && sex != 1) return results.status = MKStatusSexRefused;
  if (!(distance >= 0.0 && frequency >= 0.0)) return results.status = MKStatusValueRefused;
  const double inches = Inches(ComputeV(body, frame));
  if (std::isnan(inches)) return results.status = MKStatusMissingInput;
  double newtons;
  const MKStatus status = Exertion(
      SC::sMaleCarry + (sex ? 0 : 1), MKUnitConversions::CentimetersToFeet(distance), inches,
      Period(frequency, SC::sCarryPeriods[6]), PushPercentageIndex(percentage), newtons, results);
  if (!status.IsSuccess()) return results.status = status;
  results.carryWeight = newtons;
  return results.status = MKStatusSuccess;
}

namespace {

// The checks shared by the push/pull and carry entries, each setting the
// status before it is made; false at the first that fails.
bool EntryChecks(MKManikin* manikin, const MKManikinPart* posture, double frequency,
                 MKAnalysis::MKGuideLine guideLine, double percentage,
                 std::initializer_list<std::pair<double, MKStatusCode>> distances,
                 MKAnalysisResults& results) {
  results.status = MKStatusMissingInput;
  if (!manikin || !mkhandling::IsPosture(posture)) return false;
  results.status = MKStatusFrequencyRefused;
  if (!(frequency >= 0.0)) return false;
  for (const auto& distance : distances) {
    results.status = distance.second;
    if (!(distance.first >= 0.0)) return false;
  }
  results.status = MKStatusPercentageRefused;
  if (!mkhandling::PercentageAccepted(guideLine, percentage, false)) return false;
  results.status = MKStatusGuideLineRefused;
  return guideLine == MKAnalysis::MKSnookCiriello1991 ||
         guideLine == MKAnalysis::MKLibertyMutual2021;
}

}  // namespace

MKStatus MKAnalysis::PerformPushPullAnalysis(MKManikin* manikin, const MKManikinPart* posture,
                                             MKGuideLine guideLine, double frequency,
                                             double pushDistance, double pullDistance,
                                             double percentage, const MKFrame& frame,
                                             MKAnalysisResults& results) {
  if (!EntryChecks(manikin, posture, frequency, guideLine, percentage,
                   {{pushDistance, MKStatusPushDistanceRefused},
                    {pullDistance, MKStatusPullDistanceRefused}},
                   results))
    return results.status;
  mkhandling::PostureKeeper keeper(manikin);
  const int sex = mkhandling::Sex(manikin);
  if (sex < 0 || !mkhandling::Paste(manikin, posture)) return results.status;
  if (guideLine == MKLibertyMutual2021)
    return PerformLibertyMutual2021PushPullAnalysis(
        manikin->GetBody(), sex, frequency, pushDistance, pullDistance, percentage, frame, results);
  return PerformSnookCiriello1991PushPullAnalysis(manikin->GetBody(), sex, frequency, pushDistance,
                                                  pullDistance, percentage, frame, results);
}

MKStatus MKAnalysis::PerformCarryAnalysis(MKManikin* manikin, const MKManikinPart* posture,
                                          MKGuideLine guideLine, double frequency, double distance,
                                          double percentage, const MKFrame& frame,
                                          MKAnalysisResults& results) {
  if (!EntryChecks(manikin, posture, frequency, guideLine, percentage,
                   {{distance, MKStatusCarryDistanceRefused}}, results))
    return results.status;
  mkhandling::PostureKeeper keeper(manikin);
  const int sex = mkhandling::Sex(manikin);
  if (sex < 0 || !mkhandling::Paste(manikin, posture)) return results.status;
  if (guideLine == MKLibertyMutual2021)
    return PerformLibertyMutual2021CarryAnalysis(manikin->GetBody(), sex, frequency, distance,
                                                 percentage, frame, results);
  return PerformSnookCiriello1991CarryAnalysis(manikin->GetBody(), sex, frequency, distance,
                                               percentage, frame, results);
}
