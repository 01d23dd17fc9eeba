#include "StudyStatistics.h"

#include <cmath>

namespace mkstudy {

Share WilsonShare(std::size_t accommodated, std::size_t people) {
  Share s;
  s.people = people;
  s.accommodated = accommodated;
  if (people == 0) return s;
  constexpr double z = 1.959963984540054;  // the normal's 97.5th percentile
  const double n = static_cast<double>(people);
  const double p = static_cast<double>(accommodated) / n;
  const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
  const double half = z / (1 + z * z / n) * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n));
  s.share = p;
  s.low = std::fmax(0.0, centre - half);
  s.high = std::fmin(1.0, centre + half);
  return s;
}

std::vector<ShareRow> Summarise(const StudyTask& task, const StudyResult& result) {
  std::vector<ShareRow> rows;
  const std::size_t checks = task.checks.size();
  for (std::size_t c = 0; c <= checks; ++c) {
    const std::string name = c < checks ? task.checks[c].name : "all checks";
    std::size_t people[3] = {0, 0, 0}, passed[3] = {0, 0, 0};
    for (const SubjectOutcome& s : result.subjects) {
      if (s.status != 0) continue;
      const bool ok = c < checks ? s.passed[c] : s.all;
      for (int g : {s.sex, 2}) {
        ++people[g];
        passed[g] += ok;
      }
    }
    const char* groups[3] = {"women", "men", "all"};
    for (int g = 0; g < 3; ++g)
      if (people[g] > 0 && (g < 2 || (people[0] > 0 && people[1] > 0)))
        rows.push_back({name, groups[g], WilsonShare(passed[g], people[g])});
  }
  return rows;
}

}  // namespace mkstudy
