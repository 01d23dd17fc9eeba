#pragma once

#include <functional>
#include <string>
#include <vector>

#include "StudyTask.h"

namespace mkstudy {

// The outcome of one person.
struct SubjectOutcome {
  std::string identifier;  // the survey's subject number, or "sample N"
  int sex = 0;
  // 0 when made and measured; else the library's status (the person counts
  // in no share).
  int status = 0;
  // Within the population's accommodation bounds (4 standard deviations);
  // people outside are kept as measured and counted.
  bool withinBounds = true;
  // Stature, weight, sitting height and span of the person made.
  double stature = 0.0, weight = 0.0, sittingHeight = 0.0, span = 0.0;
  std::vector<double> measured;  // per check; NaN when there is nothing to measure
  std::vector<bool> passed;      // per check
  bool all = false;              // every check passed
};

struct StudyResult {
  std::vector<SubjectOutcome> subjects;  // women first, then men, each in the source's order
};

// Called from the running threads, serialised, after each person: done, total.
using Progress = std::function<void(std::size_t, std::size_t)>;

// Runs every person of the task on `jobs` threads (at least 1), each with its
// own manikins. The result is the same for any number of jobs. Throws a
// TaskError when the population cannot be had (no such database, subject
// files not found or damaged).
StudyResult RunStudy(const StudyTask& task, int jobs, const Progress& progress = {});

}  // namespace mkstudy
